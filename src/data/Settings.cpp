#include "data/Settings.h"

#include "data/DataKeys.h"
#include "data/TextFormat.h"
#include "runtime/Log.h"

#include <cctype>
#include <functional>
#include <string_view>

namespace tollmere {

namespace {

using SettingsStore = std::map<std::string, std::string, std::less<>>;

SettingsStore& store() {
    static SettingsStore settings;
    return settings;
}

}  // namespace

bool isSettingsCommentLine(std::string_view line) {
    if (line.empty()) return false;
    const char first = line.front();
    return first == '/' || first == ';' || first == '[' || first == '\\';
}

std::optional<bool> parseSwitch(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "1" || lower == "true" || lower == "yes" || lower == "on") return true;
    if (lower == "0" || lower == "false" || lower == "no" || lower == "off") return false;
    return std::nullopt;
}

std::map<std::string, std::string> defaultSettings() {
    std::map<std::string, std::string> defaults;
    for (const keys::KeyRead& read : keys::keysRead()) {
        if (read.file == keys::File::settings) defaults.emplace(read.key, read.value);
    }
    return defaults;
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
        if (line.empty() || isSettingsCommentLine(line)) continue;
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
