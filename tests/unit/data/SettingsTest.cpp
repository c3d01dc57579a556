#include "data/Settings.h"

#include "DataTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tollmere {
namespace {

using test::logMessages;
using test::writeTextFile;

constexpr const char* kPath = "Tollmere/Settings.ini";

class SettingsTest : public test::FileTest {};

// Catches a missing Settings.ini that stops the plug-in or loses a default (a mistyped key would
// turn robberies off and pay nothing at the docks), an unknown key that throws, and values read
// before that outliving the load.
TEST_F(SettingsTest, DefaultsHoldWithoutFile) {
    writeTextFile(kPath, "EnableBoatRobberies=0\nRandomBoatRobberyEventsFrequency=0.9\n");
    loadSettings(kPath, defaultSettings());
    std::filesystem::remove(kPath);
    std::filesystem::remove("Tollmere/Log.log");
    loadSettings(kPath, defaultSettings());

    EXPECT_EQ(logMessages(),
              std::vector<std::string>{"Unable to load from data file, please make sure it exists."});
    EXPECT_TRUE(getSettingBool("EnableBoatRobberies"));
    EXPECT_EQ(getSettingFloat("RandomBoatRobberyEventsFrequency"), 0.5f);
    EXPECT_EQ(getSettingFloat("BoatRobberiesRewardMultiplier"), 1.0f);
    EXPECT_EQ(getSettingString("BoatRobberiesRewardMultiplier"), "1.0");
    EXPECT_EQ(getSettingString("Unknown"), "");
    EXPECT_FALSE(getSettingBool("Unknown"));
    EXPECT_EQ(getSettingFloat("Unknown"), 0.0f);
}

struct BoolCase {
    const char* name;
    const char* file;
    bool enabled;
};

// Catches a switch that reads -1 as on, trims keys so a line with blanks still counts, lets a bad
// line replace the default, or refuses a switch written the way players write one.
TEST_F(SettingsTest, FileOverridesBoolDefault) {
    const BoolCase cases[] = {
        {"zero turns off", "EnableBoatRobberies=0\n", false},
        {"minus one turns off", "EnableBoatRobberies=-1\n", false},
        {"two turns on", "EnableBoatRobberies=2\n", true},
        {"one turns on", "EnableBoatRobberies=1", true},
        {"blank in key leaves default", "EnableBoatRobberies = 0\n", true},
        {"line without value leaves default", "EnableBoatRobberies=\n", true},
        {"last line wins", "EnableBoatRobberies=0\nEnableBoatRobberies=1\n", true},
        {"windows line break", "EnableBoatRobberies=0\r\n", false},
        {"yes", "EnableBoatRobberies=yes\n", true},   {"NO", "EnableBoatRobberies=NO\n", false},
        {"True", "EnableBoatRobberies=True\n", true}, {"off", "EnableBoatRobberies=off\n", false},
    };
    for (const BoolCase& row : cases) {
        SCOPED_TRACE(row.name);
        writeTextFile(kPath, row.file);
        loadSettings(kPath, defaultSettings());
        EXPECT_EQ(getSettingBool("EnableBoatRobberies"), row.enabled);
    }
    // A switch the defaults do not know is read from its text: on unless 0 or -1.
    writeTextFile(kPath, "Unlisted=2\nUnlistedOff=-1\n");
    loadSettings(kPath, defaultSettings());
    EXPECT_TRUE(getSettingBool("Unlisted"));
    EXPECT_FALSE(getSettingBool("UnlistedOff"));
}

// Catches comment lines that are parsed as settings, a bad line that stops the rest of the file,
// a carriage return kept in a value, or a setting the file lacks (an older version's file, kept by
// an update) not taking its default or not named once.
TEST_F(SettingsTest, SkipsCommentsAndReportsBadLines) {
    writeTextFile(kPath,
                  // Each comment would be logged as a bad line if it were read.
                  "; Robberies on or off\r\n"
                  "// Frequency of robberies\r\n"
                  "[Robberies]\r\n"
                  "\\ Rewards\r\n"
                  "# no equals here\r\n"
                  "\r\n"
                  "RandomBoatRobberyEventsFrequency=0.8\r\n"
                  "BoatRobberiesRewardMultiplier=2.5\r\n");

    loadSettings(kPath, defaultSettings());

    EXPECT_EQ(logMessages(), (std::vector<std::string>{
                                 std::string("loading settings file: ") + kPath,
                                 test::badLineMessage("# no equals here"), "settings file loaded",
                                 "setting EnableBoatRobberies is not in Settings.ini; using the default 1",
                                 "setting Language is not in Settings.ini; using the default auto"}));
    EXPECT_TRUE(getSettingBool("EnableBoatRobberies"));
    EXPECT_EQ(getSettingString("RandomBoatRobberyEventsFrequency"), "0.8");
    EXPECT_EQ(getSettingFloat("BoatRobberiesRewardMultiplier"), 2.5f);
}

// Catches a bad value that fails on every read (it stopped the whole frame) or is taken silently.
TEST_F(SettingsTest, ABadValueIsNamedOnceAndTheDefaultUsed) {
    writeTextFile(kPath, "RandomBoatRobberyEventsFrequency=abc\nEnableBoatRobberies=maybe\nLanguage=fr\n");
    loadSettings(kPath, defaultSettings());
    EXPECT_EQ(
        logMessages(),
        (std::vector<std::string>{
            std::string("loading settings file: ") + kPath, "settings file loaded",
            "setting BoatRobberiesRewardMultiplier is not in Settings.ini; using the default 1.0",
            "setting EnableBoatRobberies in Settings.ini has the value 'maybe', which is not valid for it; "
            "using the default 1",
            "setting Language in Settings.ini has the value 'fr', which is not valid for it; using the "
            "default auto",
            "setting RandomBoatRobberyEventsFrequency in Settings.ini has the value 'abc', which is not "
            "valid "
            "for it; using the default 0.5"}));
    EXPECT_TRUE(getSettingBool("EnableBoatRobberies"));
    EXPECT_EQ(getSettingFloat("RandomBoatRobberyEventsFrequency"), 0.5f);
    EXPECT_EQ(getSettingString("Language"), "auto");
}

}  // namespace
}  // namespace tollmere
