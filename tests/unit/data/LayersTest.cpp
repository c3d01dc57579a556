#include "data/DataFiles.h"
#include "data/Layers.h"

#include "DataTestSupport.h"

#include <gtest/gtest.h>

namespace tollmere {
namespace {

using test::writeTextFile;

class LayersTest : public test::FileTest {
  protected:
    void TearDown() override {
        for (DictDataFile** global : {&LangData, &ConfigsData, &PlayerBoatData, &TutorialFlagsData}) {
            delete *global;
            *global = nullptr;
        }
    }
    std::vector<std::string> load(const char* language) {
        writeTextFile("Tollmere/Lang.dat", "a=A\nb=B\nc=C\nd=D\n");
        writeTextFile("Tollmere/Configs.dat", "fees.tint=5\nfees.propset=25\n");
        writeTextFile("Tollmere/PlayerBoat.dat", "owned_boat_model=0\n");
        EXPECT_TRUE(loadDataFiles());
        return loadLayers(language);
    }
};

// Catches a layer that replaces the file under it instead of key by key, an empty text that hides
// the English, es-MX not falling back on es-ES first, the player's own files losing to what ships,
// or a layer read in another language than the one chosen.
TEST_F(LayersTest, EachKeyComesFromTheHighestLayerThatGivesIt) {
    writeTextFile("Tollmere/Lang.es-ES.dat", "b=Bes\nc=Ces\n");
    writeTextFile("Tollmere/Lang.es-MX.dat", "\xEF\xBB\xBF" "c=Cmx\r\nd=\r\n");
    writeTextFile("Tollmere/Lang.fr-FR.dat", "a=Afr\n");
    writeTextFile("Tollmere/Lang.custom.dat", "a=Mine\n");
    writeTextFile("Tollmere/Configs.custom.dat", "fees.tint=2.5\n");
    EXPECT_TRUE(load("es-MX").empty());
    EXPECT_STREQ(LangData->getString("a"), "Mine");
    EXPECT_STREQ(LangData->getString("b"), "Bes");
    EXPECT_STREQ(LangData->getString("c"), "Cmx");
    EXPECT_STREQ(LangData->getString("d"), "D");
    EXPECT_EQ(ConfigsData->getFloat("fees.tint"), 2.5f);
    EXPECT_EQ(ConfigsData->getFloat("fees.propset"), 25.0f);
    EXPECT_FALSE(LangData->isDirty() || ConfigsData->isDirty()) << "nothing of a layer is to be written";
}

// Catches a broken layer half read, stopping the plug-in, taking the layers under it along, or not
// named with its line; the same for bytes that are not UTF-8.
TEST_F(LayersTest, ABrokenLayerIsSkippedWholeAndTheOthersHold) {
    writeTextFile("Tollmere/Lang.pl-PL.dat", "a=Apl\nb=Bpl\nc Cpl\n");
    writeTextFile("Tollmere/Lang.custom.dat", "d=Mine\n");
    writeTextFile("Tollmere/Configs.custom.dat", "fees.tint=1\nfees.propset=Cena \xE9\n");
    EXPECT_EQ(load("pl-PL"), (std::vector<std::string>{"Lang.pl-PL.dat", "Configs.custom.dat"}));
    EXPECT_STREQ(LangData->getString("a"), "A");
    EXPECT_STREQ(LangData->getString("d"), "Mine");
    EXPECT_EQ(ConfigsData->getFloat("fees.tint"), 5.0f);
    const auto log = test::logMessages();
    EXPECT_NE(std::find(log.begin(), log.end(),
                        "Tollmere/Lang.pl-PL.dat is not read: line 3 holds not key=value; the files under it "
                        "are used instead"),
              log.end());
    EXPECT_NE(std::find(log.begin(), log.end(),
                        "Tollmere/Configs.custom.dat is not read: line 2 holds bytes that are not UTF-8 text at "
                        "column 19; the files under it are used instead"),
              log.end());
}

// Catches the setting not winning over the game, an unknown game number taken for a language, or
// a code matched only in one spelling.
TEST(LanguageChoiceTest, TheSettingThenTheGameThenEnglish) {
    EXPECT_STREQ(chooseLanguage(7, "auto").code, "ru-RU");
    EXPECT_EQ(chooseLanguage(7, "auto").why, "the game's language");
    EXPECT_STREQ(chooseLanguage(7, "PL-pl").code, "pl-PL");
    EXPECT_EQ(chooseLanguage(7, "pl-PL").why, "set by Language in Settings.ini");
    EXPECT_STREQ(chooseLanguage(13, "auto").code, "en-US");
    EXPECT_STREQ(chooseLanguage(-1, "auto").code, "en-US");
    EXPECT_STREQ(chooseLanguage(12, "auto").code, "zh-CN");
}

}  // namespace
}  // namespace tollmere
