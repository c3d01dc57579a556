#include "data/Settings.h"

#include "data/TextFormat.h"
#include "runtime/Log.h"

#include <functional>
#include <string_view>

namespace tollmere {

namespace {

using SettingsStore = std::map<std::string, std::string, std::less<>>;

SettingsStore& store() {
    static SettingsStore settings;
    return settings;
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
        return;
    }
    writeLog(std::string("loading settings file: ") + path);

    LineReader reader(content);
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
}

const std::string& getSettingString(const char* key) {
    static const std::string empty;
    const SettingsStore& settings = store();
    const auto it = settings.find(std::string_view(key));
    return it == settings.end() ? empty : it->second;
}

bool getSettingBool(const char* key) {
    const std::string& text = getSettingString(key);
    if (text.empty()) return false;
    const std::int32_t value = parseInt(text);
    return value != 0 && value != -1;
}

float getSettingFloat(const char* key) {
    const std::string& text = getSettingString(key);
    if (text.empty()) return 0.0f;
    return parseFloat(text);
}

}  // namespace tollmere
