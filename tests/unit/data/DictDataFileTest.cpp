#include "data/DictDataFile.h"

#include "DataTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace tollmere {
namespace {

using test::failureOf;
using test::logMessages;
using test::readTextFile;
using test::writeTextFile;

constexpr const char* kPath = "Tollmere/Test.dat";

class DictDataFileTest : public test::FileTest {};

struct LoadCase {
    const char* name;
    std::string content;
    bool loaded;
    // Log messages after "data file found: ".
    std::vector<std::string> logTail;
    // Key and the text getString must give after the load.
    std::vector<std::pair<std::string, std::string>> entries;
};

// Catches a line grammar or line count that differs from what players' files rely on: accepted
// and rejected lines, where a corrupt line is reported, which value wins, and that nothing is
// trimmed.
TEST_F(DictDataFileTest, LoadFollowsTheLineGrammar) {
    const std::string loaded = std::string("data file '") + kPath + "' loaded, lines red: ";
    const std::string corrupt = std::string("data file '") + kPath + "' is corruped at line: ";
    const LoadCase cases[] = {
        {"three entries with final line feed",
         "a=1\nb=2\nc=3\n",
         true,
         {loaded + "4"},
         {{"a", "1"}, {"b", "2"}, {"c", "3"}}},
        {"empty file", "", true, {loaded + "1"}, {}},
        {"no final line feed", "a=1\nb=2", true, {loaded + "2"}, {{"a", "1"}, {"b", "2"}}},
        {"windows line breaks", "a=1\r\nb=2\r\n", true, {loaded + "3"}, {{"a", "1"}, {"b", "2"}}},
        {"blank lines ignored", "\na=1\n\n", true, {loaded + "4"}, {{"a", "1"}}},
        {"last duplicate wins", "x=1\nx=2\n", true, {loaded + "3"}, {{"x", "2"}}},
        {"trailing equals accepted", "a=b=\n", true, {loaded + "2"}, {{"a", "b"}}},
        {"empty key", "=b\n", true, {loaded + "2"}, {{"", "b"}}},
        {"blanks belong to key and value", "key = 5\n", true, {loaded + "2"}, {{"key ", " 5"}, {"key", ""}}},
        {"key without value", "a=\n", false, {test::badLineMessage("a="), corrupt + "1"}, {{"a", ""}}},
        {"line without equals keeps earlier lines",
         "a=1\nhello\nb=2\n",
         false,
         {test::badLineMessage("hello"), corrupt + "2"},
         {{"a", "1"}, {"b", ""}}},
        {"three pieces", "a=b=c\n", false, {test::badLineMessage("a=b=c"), corrupt + "1"}, {{"a", ""}}},
        {"blank lines count", "\n\nbad\n", false, {test::badLineMessage("bad"), corrupt + "3"}, {}},
    };
    for (const LoadCase& row : cases) {
        SCOPED_TRACE(row.name);
        std::filesystem::remove("Tollmere/Log.log");
        writeTextFile(kPath, row.content);
        DictDataFile file(kPath);

        EXPECT_EQ(file.load(), row.loaded);

        std::vector<std::string> expectedLog = {std::string("loading data file: ") + kPath,
                                                std::string("data file found: ") + kPath};
        expectedLog.insert(expectedLog.end(), row.logTail.begin(), row.logTail.end());
        EXPECT_EQ(logMessages(), expectedLog);
        for (const auto& [key, value] : row.entries) {
            EXPECT_STREQ(file.getString(key.c_str()), value.c_str()) << key;
        }
        EXPECT_FALSE(file.isDirty());
    }
}

// Catches a missing file that is taken as empty instead of failing the load.
TEST_F(DictDataFileTest, MissingFileFailsTheLoad) {
    DictDataFile file(kPath);
    EXPECT_FALSE(file.load());
    EXPECT_EQ(logMessages(),
              (std::vector<std::string>{std::string("loading data file: ") + kPath,
                                        "unable to load from data file, please make sure it exists."}));
}

// Catches a load that clears memory first (the boat record reload would drop keys the file
// lacks) or that touches the dirty flag.
TEST_F(DictDataFileTest, LoadMergesOverMemoryAndKeepsDirty) {
    writeTextFile(kPath, "a=1\nb=2\n");
    DictDataFile file(kPath);
    ASSERT_TRUE(file.load());
    file.setString("c", "3");
    writeTextFile(kPath, "a=9\n");

    ASSERT_TRUE(file.load());

    EXPECT_STREQ(file.getString("a"), "9");
    EXPECT_STREQ(file.getString("b"), "2");
    EXPECT_STREQ(file.getString("c"), "3");
    EXPECT_TRUE(file.isDirty());
}

// A file with one value of every shape the getters meet.
const char* const kValues =
    "int=42\npoint=7.9\ntrailing=12abc\nletters=abc\n"
    "zero=0\nmissing=-999\none=1\ntwo=2\nminusOne=-1\nempty==\n"
    "half=0.5\n"
    "vec=1.5,-2,40\nvec4=1,2,3,4\nvec2=1,2\nvec2comma=1,2,\nvecHole=1,,3\nvecThirdEmpty=1,2,,\n";

// Catches getters that throw on a missing key or an empty value instead of giving the sentinel,
// or read numbers other than the standard conversions do.
TEST_F(DictDataFileTest, GettersGiveValuesAndSentinels) {
    writeTextFile(kPath, kValues);
    DictDataFile file(kPath);
    ASSERT_TRUE(file.load());

    const std::pair<const char*, std::int32_t> ints[] = {
        {"absent", -999}, {"empty", -999}, {"int", 42}, {"point", 7}, {"trailing", 12}, {"minusOne", -1}};
    for (const auto& [key, expected] : ints) {
        EXPECT_EQ(file.getInt(key), expected) << key;
    }

    const std::pair<const char*, bool> bools[] = {{"absent", false},  {"empty", false}, {"zero", false},
                                                  {"missing", false}, {"one", true},    {"two", true},
                                                  {"minusOne", true}};
    for (const auto& [key, expected] : bools) {
        EXPECT_EQ(file.getBool(key), expected) << key;
    }

    const std::pair<const char*, float> floats[] = {
        {"absent", -999.0f}, {"empty", -999.0f}, {"half", 0.5f}, {"int", 42.0f}, {"point", 7.9f}};
    for (const auto& [key, expected] : floats) {
        EXPECT_EQ(file.getFloat(key), expected) << key;
    }

    const std::pair<const char*, Vec3> vectors[] = {{"absent", {0.0f, 0.0f, 0.0f}},
                                                    {"empty", {0.0f, 0.0f, 0.0f}},
                                                    {"vec", {1.5f, -2.0f, 40.0f}},
                                                    {"vec4", {1.0f, 2.0f, 3.0f}}};
    for (const auto& [key, expected] : vectors) {
        EXPECT_EQ(file.getVec3(key), expected) << key;
    }

    EXPECT_STREQ(file.getString("absent"), "");
    EXPECT_STREQ(file.getString("trailing"), "12abc");
}

// Catches getter failures of the wrong kind or text, and a vector with a missing piece that reads
// as zero instead of failing.
TEST_F(DictDataFileTest, GettersFailWithStandardTexts) {
    writeTextFile(kPath, kValues);
    DictDataFile file(kPath);
    ASSERT_TRUE(file.load());

    struct Case {
        const char* name;
        std::string failure;
        const char* expected;
    };
    const Case cases[] = {
        {"int of letters", failureOf([&] { file.getInt("letters"); }),
         "invalid_argument: invalid stoi argument"},
        {"bool of letters", failureOf([&] { file.getBool("letters"); }),
         "invalid_argument: invalid stoi argument"},
        {"float of letters", failureOf([&] { file.getFloat("letters"); }),
         "invalid_argument: invalid stof argument"},
        {"vector of two", failureOf([&] { file.getVec3("vec2"); }), "out_of_range: invalid vector subscript"},
        {"vector of one", failureOf([&] { file.getVec3("half"); }), "out_of_range: invalid vector subscript"},
        {"vector of two with final comma", failureOf([&] { file.getVec3("vec2comma"); }),
         "out_of_range: invalid vector subscript"},
        {"vector with empty middle", failureOf([&] { file.getVec3("vecHole"); }),
         "invalid_argument: invalid stof argument"},
        {"vector with empty third", failureOf([&] { file.getVec3("vecThirdEmpty"); }),
         "invalid_argument: invalid stof argument"},
    };
    for (const Case& row : cases) {
        EXPECT_EQ(row.failure, row.expected) << row.name;
    }
    EXPECT_FALSE(file.isDirty());
}

// Catches setters whose texts differ from what the boat record has always held ("%f" floats,
// six-digit positions, plain decimals).
TEST_F(DictDataFileTest, SettersStoreTheirTextForms) {
    DictDataFile file(kPath);
    file.setInt("zero", 0);
    file.setInt("negative", -42);
    file.setFloat("one", 1.0f);
    file.setFloat("health", 0.75f);
    file.setVec3("coords", {1234.5678f, -20.25f, 40.0f});

    const std::pair<const char*, const char*> cases[] = {{"zero", "0"},
                                                         {"negative", "-42"},
                                                         {"one", "1.000000"},
                                                         {"health", "0.750000"},
                                                         {"coords", "1234.57,-20.25,40"}};
    for (const auto& [key, expected] : cases) {
        EXPECT_STREQ(file.getString(key), expected) << key;
    }
    EXPECT_FALSE(file.getBool("zero"));
}

struct SetStringCase {
    const char* name;
    bool present;
    const char* value;
    bool dirty;
    const char* stored;
};

// Catches a setter that skips the dirty flag for an unchanged value, or that marks the file dirty
// (and so rewrites it) when erasing a key that was never there.
TEST_F(DictDataFileTest, SetStringMarksDirtyOnlyWhenItStoresOrErases) {
    const SetStringCase cases[] = {
        {"new key", false, "v", true, "v"},
        {"same value again", true, "old", true, "old"},
        {"new value", true, "v", true, "v"},
        {"empty erases present key", true, "", true, ""},
        {"empty on absent key", false, "", false, ""},
    };
    for (const SetStringCase& row : cases) {
        SCOPED_TRACE(row.name);
        writeTextFile(kPath, row.present ? "k=old\n" : "other=1\n");
        DictDataFile file(kPath);
        ASSERT_TRUE(file.load());

        file.setString("k", row.value);

        EXPECT_EQ(file.isDirty(), row.dirty);
        EXPECT_STREQ(file.getString("k"), row.stored);
    }
}

// Catches a save without force that writes (and logs) although nothing changed.
TEST_F(DictDataFileTest, SaveWithoutChangesWritesNothing) {
    writeTextFile(kPath, "b=2\na=1\n");
    DictDataFile file(kPath);
    ASSERT_TRUE(file.load());
    const std::size_t logLines = logMessages().size();

    EXPECT_TRUE(file.save(false));

    EXPECT_EQ(readTextFile(kPath), "b=2\na=1\n");
    EXPECT_EQ(logMessages().size(), logLines);
}

// Catches a forced save that keeps the file's line order, comments or duplicates instead of one
// line per entry in byte-wise key order (a key that is a prefix of another first).
TEST_F(DictDataFileTest, ForcedSaveRewritesInKeyOrder) {
    writeTextFile(kPath, "b=2\na=1\nab=3\na.b=4\nB=5\nb=6\n\n");
    DictDataFile file(kPath);
    ASSERT_TRUE(file.load());
    const std::size_t logLines = logMessages().size();

    EXPECT_TRUE(file.save(true));

    EXPECT_EQ(readTextFile(kPath), "B=5\na=1\na.b=4\nab=3\nb=6\n");
    const std::vector<std::string> log = logMessages();
    EXPECT_EQ(
        std::vector<std::string>(log.begin() + static_cast<std::ptrdiff_t>(logLines), log.end()),
        (std::vector<std::string>{std::string("saving ") + kPath, std::string("file saved: ") + kPath}));
    EXPECT_FALSE(file.isDirty());
}

// Catches an erased key that still reaches the file, or a dirty flag left set after a good save.
TEST_F(DictDataFileTest, SaveAfterEraseDropsTheLine) {
    writeTextFile(kPath, "a=1\nb=2\n");
    DictDataFile file(kPath);
    ASSERT_TRUE(file.load());
    file.setString("a", "");

    EXPECT_TRUE(file.save(false));

    EXPECT_EQ(readTextFile(kPath), "b=2\n");
    EXPECT_FALSE(file.isDirty());
    EXPECT_TRUE(file.save(false));
}

// Catches a saved text that loads back otherwise, as saved or without its last line feed (a last read
// of one byte): lost to escaping (a byte-order mark first, a closing carriage return) or to the read.
TEST_F(DictDataFileTest, WhatASaveWritesLoadsBackAsSet) {
    std::mt19937 draw(1807);
    for (int round = 0; round < 30; ++round) {
        DictDataFile file(kPath);
        std::vector<std::string> texts(12, std::string(round % 3 ? "" : "\xEF\xBB\xBF"));
        for (std::string& text : texts) {
            for (int k = draw() % 20; k >= 0; --k)
                text += static_cast<char>(draw() % 4 ? 62 + draw() % 60 : "\xC3\r"[draw() % 2]);
            file.setString(text.c_str(), text);
        }
        ASSERT_TRUE(file.save(true));
        const std::size_t n = (2 * 4096 - 1 - readTextFile(kPath).size() % 4096) % 4096;
        file.setString("\xFF", std::string(n == 0 ? 4096 : n, 'v'));  // two bytes past whole reads
        ASSERT_TRUE(file.save(true));
        const std::string written = readTextFile(kPath);
        for (const std::string& content : {written, written.substr(0, written.size() - 1)}) {
            writeTextFile(kPath, content);
            DictDataFile back(kPath);
            ASSERT_TRUE(back.load());
            EXPECT_EQ(back.allEntries(), file.allEntries());
        }
    }
}

struct FailedSaveCase {
    const char* name;
    // Puts something in the way of the write.
    void (*block)();
    std::vector<std::string> logTail;
};

// Catches a save that loses the old record or reports success when the new content could not be
// written whole (the file opened but the disk filled, or the file could not be opened), and a
// dirty flag cleared by a failed save so the next save would not try again.
TEST_F(DictDataFileTest, FailedSaveKeepsOldFileAndDirty) {
    // Without the device the symbolic link below would make a plain file and nothing would fail.
    ASSERT_TRUE(std::filesystem::is_character_file("/dev/full"));
    const std::string temporary = std::string(kPath) + ".new";
    const FailedSaveCase cases[] = {
        {"cannot open the new file",
         [] { std::filesystem::create_directory(std::string(kPath) + ".new"); },
         {std::string("saving ") + kPath, "unable to open file, please make sure it exists.",
          std::string("save failed in file: ") + kPath}},
        {"disk full while writing",
         [] { std::filesystem::create_symlink("/dev/full", std::string(kPath) + ".new"); },
         {std::string("saving ") + kPath, std::string("save failed in file: ") + kPath}},
    };
    for (const FailedSaveCase& row : cases) {
        SCOPED_TRACE(row.name);
        writeTextFile(kPath, "a=1\nb=2\n");
        DictDataFile file(kPath);
        ASSERT_TRUE(file.load());
        file.setString("a", "changed");
        row.block();
        const std::size_t logLines = logMessages().size();

        EXPECT_FALSE(file.save(false));

        EXPECT_EQ(readTextFile(kPath), "a=1\nb=2\n");
        EXPECT_TRUE(file.isDirty());
        const std::vector<std::string> log = logMessages();
        EXPECT_EQ(std::vector<std::string>(log.begin() + static_cast<std::ptrdiff_t>(logLines), log.end()),
                  row.logTail);

        // Once the way is clear the kept dirty flag makes the next plain save write the change.
        std::filesystem::remove(temporary);
        EXPECT_TRUE(file.save(false));
        EXPECT_EQ(readTextFile(kPath), "a=changed\nb=2\n");
    }
}

}  // namespace
}  // namespace tollmere
