#include "data/DataFiles.h"
#include "data/Layers.h"

#include "DataTestSupport.h"

#include <gtest/gtest.h>

namespace tollmere {
namespace {

struct LayersTest : test::FileTest {
    // Lang.dat and Configs.dat as shipped, with the given files of the folder laid over them.
    std::vector<std::string> load(const char* language, const std::map<std::string, std::string>& files) {
        test::writeTextFile("Tollmere/Lang.dat", "a=A\nb=B\nc=C\nd=D\n");
        test::writeTextFile("Tollmere/Configs.dat", "fees.tint=5\nfees.propset=25\n");
        for (const auto& [name, content] : files)
            test::writeTextFile("Tollmere/" + name, content);
        EXPECT_TRUE(lang_.load() && configs_.load());
        LangData = &lang_;
        ConfigsData = &configs_;
        return loadLayers(language);
    }
    void TearDown() override { LangData = ConfigsData = nullptr; }
    DictDataFile lang_{dataFilePath("Lang.dat")}, configs_{dataFilePath("Configs.dat")};
};

// Catches a layer that replaces the file under it instead of key by key, an empty text that hides
// the English, es-MX not falling back on es-ES first, the player's own files losing to what ships,
// a layer of another language read, or a value the log sends him to find in a file not holding it.
TEST_F(LayersTest, EachKeyComesFromTheHighestLayerThatGivesIt) {
    EXPECT_TRUE(load("es-MX", {{"Lang.es-ES.dat", "b=Bes\nc=Ces\n"},
                               {"Lang.es-MX.dat", "\357\273\277c=Cmx\r\nd=\r\n"},
                               {"Lang.fr-FR.dat", "a=Afr\n"},
                               {"Lang.custom.dat", "a=Mine\n"},
                               {"Configs.custom.dat", "fees.tint=2.5\nfees.fix_boat=cheap\n"}})
                    .empty());
    EXPECT_EQ(std::string(lang_.getString("a")) + lang_.getString("b") + lang_.getString("c") +
                  lang_.getString("d"),
              "MineBesCmxD");
    EXPECT_EQ(configs_.getFloat("fees.tint") + configs_.getFloat("fees.propset"), 27.5f);
    EXPECT_THROW(configs_.getFloat("fees.fix_boat"), std::invalid_argument);
    EXPECT_EQ(test::logMessages().back(),
              "could not read the value of fees.fix_boat in "
              "Tollmere/Configs.custom.dat: 'cheap' (invalid stof argument)");
}

// Catches a broken layer half read, stopping the plug-in or taking the layers under it along, and
// bytes that are not UTF-8 taken as text.
TEST_F(LayersTest, ABrokenLayerIsSkippedWholeAndTheOthersHold) {
    EXPECT_EQ(load("pl-PL", {{"Lang.pl-PL.dat", "a=Apl\nb=Bpl\nc Cpl\n"},
                             {"Lang.custom.dat", "d=Mine\n"},
                             {"Configs.custom.dat", "fees.tint=1\nfees.propset=Cena \xE9\n"}}),
              (std::vector<std::string>{"Lang.pl-PL.dat", "Configs.custom.dat"}));
    EXPECT_EQ(std::string(lang_.getString("a")) + lang_.getString("d"), "AMine");
    EXPECT_EQ(configs_.getFloat("fees.tint"), 5.0f);
    EXPECT_EQ(test::logMessages().back(),
              "Tollmere/Configs.custom.dat is not read: line 2 holds bytes that are not "
              "UTF-8 text at column 19; the files under it are used instead");
}

// Catches the setting not winning over the game in any spelling, or an unknown number taken for one.
TEST(LanguageChoiceTest, TheSettingThenTheGameThenEnglish) {
    EXPECT_EQ(chooseLanguage(7, "auto").code + (", " + chooseLanguage(7, "auto").why),
              "ru-RU, the game's language");
    EXPECT_EQ(chooseLanguage(7, "PL-pl").code + (", " + chooseLanguage(7, "pl-PL").why),
              "pl-PL, set by Language in Settings.ini");
    EXPECT_EQ(std::string(chooseLanguage(13, "auto").code) + chooseLanguage(-1, "auto").code, "en-USen-US");
}

}  // namespace
}  // namespace tollmere
