#include "data/DataFiles.h"

#include "DataTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace tollmere {
namespace {

using test::logMessages;
using test::writeTextFile;

constexpr std::array<const char*, 4> kNames = {"Lang.dat", "Configs.dat", "PlayerBoat.dat",
                                               "TutorialFlags.dat"};

class DataFilesTest : public test::FileTest {
  protected:
    static std::array<DictDataFile**, 4> globals() {
        return {&LangData, &ConfigsData, &PlayerBoatData, &TutorialFlagsData};
    }
    void SetUp() override {
        for (DictDataFile** global : globals()) {
            *global = nullptr;
        }
    }
    void TearDown() override { releaseFiles(); }
    static void releaseFiles() {
        for (DictDataFile** global : globals()) {
            delete *global;
            *global = nullptr;
        }
    }
};

// Catches a path without the folder, or a text that moves or dies while a data file still points
// at it.
TEST_F(DataFilesTest, PathIsInTheFolderAndStays) {
    const char* lang = dataFilePath("Lang.dat");
    for (int i = 0; i < 100; ++i) {
        dataFilePath("Other.dat");
    }
    EXPECT_STREQ(lang, "Tollmere/Lang.dat");
}

struct LoadOrderCase {
    const char* name;
    // Content of each file in load order; nullptr leaves the file out.
    std::array<const char*, 4> contents;
    bool result;
    // How many of the globals, in load order, exist afterwards.
    int created;
    std::vector<std::string> log;
};

// Catches a wrong load order, a start-up that goes on after Lang, Configs or PlayerBoat fails (or
// stops when only TutorialFlags does), files created past the failing one, and globals filled
// from the wrong file.
TEST_F(DataFilesTest, LoadsInOrderAndStopsOnTheFirstThree) {
    const auto loadedLines = [](const char* name) {
        const std::string path = std::string("Tollmere/") + name;
        return std::vector<std::string>{"loading data file: " + path, "data file found: " + path,
                                        "data file '" + path + "' loaded, lines red: 2"};
    };
    const auto missingLines = [](const char* name) {
        return std::vector<std::string>{std::string("loading data file: Tollmere/") + name,
                                        "unable to load from data file, please make sure it exists."};
    };
    const auto join = [](std::initializer_list<std::vector<std::string>> parts) {
        std::vector<std::string> all;
        for (const auto& part : parts) {
            all.insert(all.end(), part.begin(), part.end());
        }
        return all;
    };
    const char* const present = "file=here\n";
    const char* const flagsCorrupt = "seen=1\nbroken\n";

    const LoadOrderCase cases[] = {
        {"all present",
         {present, present, present, present},
         true,
         4,
         join({loadedLines("Lang.dat"), loadedLines("Configs.dat"), loadedLines("PlayerBoat.dat"),
               loadedLines("TutorialFlags.dat")})},
        {"no tutorial flags",
         {present, present, present, nullptr},
         true,
         4,
         join({loadedLines("Lang.dat"),
               loadedLines("Configs.dat"),
               loadedLines("PlayerBoat.dat"),
               missingLines("TutorialFlags.dat"),
               {"TutorialFlags didn't load properly, continuing anyway."}})},
        {"corrupt tutorial flags",
         {present, present, present, flagsCorrupt},
         true,
         4,
         join({loadedLines("Lang.dat"),
               loadedLines("Configs.dat"),
               loadedLines("PlayerBoat.dat"),
               {"loading data file: Tollmere/TutorialFlags.dat",
                "data file found: Tollmere/TutorialFlags.dat", test::badLineMessage("broken"),
                "data file 'Tollmere/TutorialFlags.dat' is corruped at line: 2",
                "TutorialFlags didn't load properly, continuing anyway."}})},
        {"no lang", {nullptr, present, present, present}, false, 1, missingLines("Lang.dat")},
        {"no configs",
         {present, nullptr, present, present},
         false,
         2,
         join({loadedLines("Lang.dat"), missingLines("Configs.dat")})},
        {"no player boat",
         {present, present, nullptr, present},
         false,
         3,
         join({loadedLines("Lang.dat"), loadedLines("Configs.dat"), missingLines("PlayerBoat.dat")})},
    };
    for (const LoadOrderCase& row : cases) {
        SCOPED_TRACE(row.name);
        // A fresh start for every row: no files, no log, no instances.
        releaseFiles();
        std::filesystem::remove("Tollmere/Log.log");
        for (std::size_t i = 0; i < kNames.size(); ++i) {
            const std::string path = std::string("Tollmere/") + kNames[i];
            std::filesystem::remove(path);
            if (row.contents[i] != nullptr) writeTextFile(path, row.contents[i]);
        }

        EXPECT_EQ(loadDataFiles(), row.result);

        EXPECT_EQ(logMessages(), row.log);
        for (std::size_t i = 0; i < kNames.size(); ++i) {
            DictDataFile* file = *globals()[i];
            ASSERT_EQ(file != nullptr, static_cast<int>(i) < row.created) << kNames[i];
            if (file == nullptr) continue;
            EXPECT_STREQ(file->getPath(), (std::string("Tollmere/") + kNames[i]).c_str());
            if (row.contents[i] == present) {
                EXPECT_STREQ(file->getString("file"), "here") << kNames[i];
            }
        }
        if (row.contents[3] == flagsCorrupt) {
            // Lines read before the bad one stay.
            EXPECT_TRUE(TutorialFlagsData->getBool("seen"));
        }
    }
}

// Catches a missing TutorialFlags.dat that cannot be written anew when the first tutorial is shown.
TEST_F(DataFilesTest, MissingTutorialFlagsAreWrittenAnew) {
    for (std::size_t i = 0; i < 3; ++i) {
        writeTextFile(std::string("Tollmere/") + kNames[i], "file=here\n");
    }
    ASSERT_TRUE(loadDataFiles());

    TutorialFlagsData->setInt("boat_claimed", 1);
    ASSERT_TRUE(TutorialFlagsData->save(false));

    EXPECT_EQ(test::readTextFile("Tollmere/TutorialFlags.dat"), "boat_claimed=1\n");
}

}  // namespace
}  // namespace tollmere
