#include "data/DataFiles.h"
#include "data/Layers.h"

#include "DataTestSupport.h"

#include <gtest/gtest.h>

namespace tollmere {
namespace {

using test::writeTextFile;

struct LayersTest : test::FileTest {
    // Lang.dat and Configs.dat as shipped, with the given files of the folder laid over them.
    std::vector<std::string> load(const char* language, const std::map<std::string, std::string>& files) {
        writeTextFile("Tollmere/Lang.dat", "a=A\nb=B\nc=C\nd=D\n");
        writeTextFile("Tollmere/Configs.dat", "fees.tint=5\nfees.propset=25\n");
        for (const auto& [name, content] : files) writeTextFile("Tollmere/" + name, content);
        lang = LangData = new DictDataFile(dataFilePath("Lang.dat"));
        configs = ConfigsData = new DictDataFile(dataFilePath("Configs.dat"));
        EXPECT_TRUE(LangData->load() && ConfigsData->load());
        return loadLayers(language);
    }
    void TearDown() override { delete lang, delete configs, LangData = ConfigsData = nullptr; }
    DictDataFile* lang = nullptr;
    DictDataFile* configs = nullptr;
};

// Catches a layer that replaces the file under it instead of key by key, an empty text that hides
// the English, es-MX not falling back on es-ES first, the player's own files losing to what ships,
// a layer of another language read, or a layer's value taken for a change to save.
TEST_F(LayersTest, EachKeyComesFromTheHighestLayerThatGivesIt) {
    EXPECT_TRUE(load("es-MX", {{"Lang.es-ES.dat", "b=Bes\nc=Ces\n"},
                               {"Lang.es-MX.dat", "\xEF\xBB\xBF" "c=Cmx\r\nd=\r\n"},
                               {"Lang.fr-FR.dat", "a=Afr\n"},
                               {"Lang.custom.dat", "a=Mine\n"},
                               {"Configs.custom.dat", "fees.tint=2.5\n"}})
                    .empty());
    EXPECT_EQ(std::string(LangData->getString("a")) + LangData->getString("b") + LangData->getString("c") +
                  LangData->getString("d"),
              "MineBesCmxD");
    EXPECT_EQ(ConfigsData->getFloat("fees.tint") + ConfigsData->getFloat("fees.propset"), 27.5f);
    EXPECT_FALSE(LangData->isDirty() || ConfigsData->isDirty());
}

// Catches a broken layer half read, stopping the plug-in or taking the layers under it along, and
// bytes that are not UTF-8 taken as text.
TEST_F(LayersTest, ABrokenLayerIsSkippedWholeAndTheOthersHold) {
    EXPECT_EQ(load("pl-PL", {{"Lang.pl-PL.dat", "a=Apl\nb=Bpl\nc Cpl\n"},
                             {"Lang.custom.dat", "d=Mine\n"},
                             {"Configs.custom.dat", "fees.tint=1\nfees.propset=Cena \xE9\n"}}),
              (std::vector<std::string>{"Lang.pl-PL.dat", "Configs.custom.dat"}));
    EXPECT_EQ(std::string(LangData->getString("a")) + LangData->getString("d"), "AMine");
    EXPECT_EQ(ConfigsData->getFloat("fees.tint"), 5.0f);
    EXPECT_EQ(test::logMessages().back(), "Tollmere/Configs.custom.dat is not read: line 2 holds bytes that are not "
                                          "UTF-8 text at column 19; the files under it are used instead");
}

// Catches the setting not winning over the game, an unknown game number taken for a language, or
// a code matched only in one spelling.
TEST(LanguageChoiceTest, TheSettingThenTheGameThenEnglish) {
    EXPECT_EQ(chooseLanguage(7, "auto").code + (" " + chooseLanguage(7, "auto").why), "ru-RU the game's language");
    EXPECT_EQ(chooseLanguage(7, "PL-pl").code + (" " + chooseLanguage(7, "pl-PL").why),
              "pl-PL set by Language in Settings.ini");
    EXPECT_EQ(std::string(chooseLanguage(13, "auto").code) + chooseLanguage(-1, "auto").code +
                  chooseLanguage(12, "auto").code,
              "en-USen-USzh-CN");
}

}  // namespace
}  // namespace tollmere
