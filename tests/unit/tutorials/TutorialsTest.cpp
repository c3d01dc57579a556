// Tutorials shown once per name, with an occasional repeat, remembered in TutorialFlags.dat.

#include "tutorials/Tutorials.h"

#include "data/DataFiles.h"
#include "host/ScreenText.h"
#include "unit/data/DataTestSupport.h"
#include "unit/host/DirectGame.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tollmere::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class TutorialsTest : public DirectGameTest {
  protected:
    void SetUp() override {
        lang.setString("tutorial.left_docks", "You left the dock.");
        lang.setString("tutorial.boat_destroyed", "Your boat was destroyed.");
        lang.setString("tutorial.boat_claimed", "This boat is yours now.");
        lang.setString("tutorial.owned_boat_docked", "Your boat is moored here.");
        LangData = &lang;
        TutorialFlagsData = &flags;
        // A help text an earlier test left queued in the plug-in must not show up here.
        postPendingHelpText();
        world.helpTexts.clear();
    }
    void TearDown() override {
        LangData = nullptr;
        TutorialFlagsData = nullptr;
    }

    // The player saw the tutorial in an earlier run: the flag is in memory but the file and the log
    // are removed, so that any later save or log line shows.
    void seenBefore(const char* name) {
        flags.setInt(name, 1);
        ASSERT_TRUE(flags.save(false));
        std::filesystem::remove(flagsPath);
        std::filesystem::remove("Tollmere/Log.log");
    }
    // A showing logs the tutorial, then saves the flags file.
    static std::vector<std::string> shownLog(const std::string& name) {
        return {"tutorial seen: " + name, "saving Tollmere/TutorialFlags.dat",
                "file saved: Tollmere/TutorialFlags.dat"};
    }
    void endFrame() { postPendingHelpText(); }
    std::vector<std::string> postedTexts() const {
        std::vector<std::string> texts;
        for (const sim::HelpText& help : world.helpTexts)
            texts.push_back(help.text);
        return texts;
    }
    static std::vector<std::string> log() {
        return std::filesystem::exists("Tollmere/Log.log") ? test::logMessages() : std::vector<std::string>{};
    }

    test::ScopedWorkDir workDir;
    const char* flagsPath = dataFilePath("TutorialFlags.dat");
    DictDataFile lang{dataFilePath("Lang.dat")};
    DictDataFile flags{flagsPath};
};

struct ShownCase {
    const char* name;
    const char* tutorial;
    bool seen;
    bool force;
    const char* text;
};

// Catches a new or forced tutorial that depends on a draw, takes one from the game's generator
// (shifting every later random choice), or is shown without being logged and flagged on disk.
TEST_F(TutorialsTest, NewAndForcedTutorialsAreAlwaysShownLoggedAndFlagged) {
    const ShownCase cases[] = {
        {"not seen yet", "left_docks", false, false, "You left the dock."},
        {"seen and forced", "boat_destroyed", true, true, "Your boat was destroyed."},
    };
    for (const ShownCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove("Tollmere/Log.log");
        world.helpTexts.clear();
        if (c.seen) seenBefore(c.tutorial);
        world.scriptedInts = {0};

        showTutorial(c.tutorial, c.force);
        endFrame();

        ASSERT_THAT(postedTexts(), ElementsAre(c.text));
        EXPECT_EQ(world.helpTexts[0].durationMs, 8000);
        EXPECT_EQ(log(), shownLog(c.tutorial));
        EXPECT_THAT(test::readTextFile(flagsPath), ::testing::HasSubstr(std::string(c.tutorial) + "=1\n"));
        EXPECT_THAT(world.scriptedInts, ElementsAre(0)) << "no draw may be taken";
    }
}

// Catches a seen tutorial coming back on the wrong draws (the bound is exclusive: only a 4 of 0 to
// 4 shows it), or a skipped one that still posts, logs or rewrites the flags file.
TEST_F(TutorialsTest, ASeenTutorialComesBackOnlyOnADrawOf4) {
    seenBefore("left_docks");
    for (const int draw : {0, 1, 2, 3, 4}) {
        SCOPED_TRACE("draw " + std::to_string(draw));
        world.scriptedInts = {draw};
        showTutorial("left_docks", false);
        endFrame();
        EXPECT_THAT(world.scriptedInts, IsEmpty());
        EXPECT_THAT(lastArgs("getRandomIntInRange"), ElementsAre(0u, 5u));
        if (draw < 4) {
            EXPECT_THAT(postedTexts(), IsEmpty());
            EXPECT_THAT(log(), IsEmpty());
            EXPECT_FALSE(std::filesystem::exists(flagsPath));
        } else {
            EXPECT_THAT(postedTexts(), ElementsAre("You left the dock."));
            EXPECT_EQ(log(), shownLog("left_docks"));
            EXPECT_EQ(test::readTextFile(flagsPath), "left_docks=1\n");
        }
    }
}

// Catches the first of two tutorials in one frame being posted, or the second one's showing
// forgetting to log or flag the first.
TEST_F(TutorialsTest, TwoTutorialsInOneFramePostOnlyTheSecondButFlagBoth) {
    showTutorial("boat_claimed", false);
    showTutorial("owned_boat_docked", false);
    endFrame();
    EXPECT_THAT(postedTexts(), ElementsAre("Your boat is moored here."));
    std::vector<std::string> expected = shownLog("boat_claimed");
    for (const std::string& line : shownLog("owned_boat_docked"))
        expected.push_back(line);
    EXPECT_EQ(log(), expected);
    EXPECT_EQ(test::readTextFile(flagsPath), "boat_claimed=1\nowned_boat_docked=1\n");
}

}  // namespace
}  // namespace tollmere::testing
