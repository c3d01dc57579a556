#include "data/Settings.h"

#include "data/TextFormat.h"
#include "runtime/Log.h"

#include <cctype>
#include <functional>
#include <stdexcept>
#include <string_view>

namespace tollmere {

namespace {

using SettingsStore = std::map<std::string, std::string, std::less<>>;

SettingsStore& store() {
    static SettingsStore settings;
    return settings;
}

// The checked values of the settings the plug-in reads, as numbers (a switch as 1 or 0). Read
// every frame, so they are worked out once, when the file is loaded.
using CheckedStore = std::map<std::string, float, std::less<>>;

CheckedStore& checked() {
    static CheckedStore values;
    return values;
}

enum class Kind { onOff, number };

Kind kindOf(std::string_view key) {
    return key == "EnableBoatRobberies" ? Kind::onOff : Kind::number;
}

bool sameLetters(std::string_view text, std::string_view word) {
    if (text.size() != word.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != word[i]) return false;
    }
    return true;
}

// Players write a switch in many ways; a number keeps its old meaning (0 and -1 are off).
bool readOnOff(const std::string& text, float& value) {
    struct Spelling {
        const char* word;
        bool on;
    };
    static constexpr Spelling kSpellings[] = {{"true", true},   {"yes", true}, {"on", true},
                                              {"false", false}, {"no", false}, {"off", false}};
    for (const Spelling& spelling : kSpellings) {
        if (!sameLetters(text, spelling.word)) continue;
        value = spelling.on ? 1.0f : 0.0f;
        return true;
    }
    try {
        const std::int32_t number = parseInt(text);
        value = number != 0 && number != -1 ? 1.0f : 0.0f;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool readNumber(const std::string& text, float& value) {
    try {
        value = parseFloat(text);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool readSetting(std::string_view key, const std::string& text, float& value) {
    return kindOf(key) == Kind::onOff ? readOnOff(text, value) : readNumber(text, value);
}

// A value that does not read would otherwise fail on every frame that asks for it. Each setting
// with a default is checked once; a bad value is named in the log and the default takes its place.
void checkSettings(SettingsStore& settings, const std::map<std::string, std::string>& defaults) {
    CheckedStore& values = checked();
    values.clear();
    for (const auto& [key, fallback] : defaults) {
        std::string& text = settings[key];
        float value = 0.0f;
        if (readSetting(key, text, value)) {
            values.emplace(key, value);
            continue;
        }
        writeLog("setting " + key + " in Settings.ini has the value '" + text +
                 "', which is not valid for it; using the default " + fallback);
        text = fallback;
        if (readSetting(key, text, value)) values.emplace(key, value);
    }
}

bool isCommentLine(std::string_view line) {
    const char first = line.front();
    return first == '/' || first == ';' || first == '[' || first == '\\';
}

}  // namespace

std::map<std::string, std::string> defaultSettings() {
    return {
        {"EnableBoatRobberies", "1"},
        {"RandomBoatRobberyEventsFrequency", "0.5"},
        {"BoatRobberiesRewardMultiplier", "1.0"},
    };
}

void loadSettings(const char* path, const std::map<std::string, std::string>& defaults) {
    SettingsStore& settings = store();
    settings.clear();
    settings.insert(defaults.begin(), defaults.end());

    std::string content;
    if (!readWholeFile(path, content)) {
        writeLog("Unable to load from data file, please make sure it exists.");
        checkSettings(settings, defaults);
        return;
    }
    writeLog(std::string("loading settings file: ") + path);

    LineReader reader(withoutByteOrderMark(content));
    std::string_view line;
    while (reader.next(line)) {
        if (line.empty() || isCommentLine(line)) continue;
        std::string_view key;
        std::string_view value;
        if (!splitEntry(line, key, value)) {
            writeLog(cannotParseLineMessage(line));
            continue;
        }
        settings.insert_or_assign(std::string(key), std::string(value));
    }
    writeLog("settings file loaded");
    checkSettings(settings, defaults);
}

const std::string& getSettingString(const char* key) {
    static const std::string empty;
    const SettingsStore& settings = store();
    const auto it = settings.find(std::string_view(key));
    return it == settings.end() ? empty : it->second;
}

bool getSettingBool(const char* key) {
    const CheckedStore& values = checked();
    if (const auto it = values.find(std::string_view(key)); it != values.end()) return it->second != 0.0f;
    const std::string& text = getSettingString(key);
    if (text.empty()) return false;
    const std::int32_t value = parseInt(text);
    return value != 0 && value != -1;
}

float getSettingFloat(const char* key) {
    const CheckedStore& values = checked();
    if (const auto it = values.find(std::string_view(key)); it != values.end()) return it->second;
    const std::string& text = getSettingString(key);
    if (text.empty()) return 0.0f;
    return parseFloat(text);
}

}  // namespace tollmere
