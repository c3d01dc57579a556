#include "data/Settings.h"

#include "data/DataKeys.h"
#include "data/Layers.h"
#include "data/TextFormat.h"
#include "runtime/Log.h"

#include <cctype>
#include <cmath>
#include <functional>
#include <set>
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

enum class Kind { onOff, number, language };

Kind kindOf(std::string_view key) {
    if (key == keys::language) return Kind::language;
    return key == keys::enableBoatRobberies ? Kind::onOff : Kind::number;
}

bool readOnOff(const std::string& text, float& value) {
    const std::optional<bool> on = parseSwitch(text);
    if (on) value = *on ? 1.0f : 0.0f;
    return on.has_value();
}

bool readNumber(const std::string& text, float& value) {
    try {
        value = parseFloat(text);
        // "nan" and "inf" read as numbers, but no chance or multiplier can be either.
        return std::isfinite(value);
    } catch (const std::exception&) {
        return false;
    }
}

bool isAutomaticLanguage(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower == kAutomaticLanguage;
}

bool readSetting(std::string_view key, const std::string& text, float& value) {
    switch (kindOf(key)) {
        case Kind::onOff:
            return readOnOff(text, value);
        case Kind::language:
            value = 0.0f;
            return knownLanguage(text) != nullptr || isAutomaticLanguage(text);
        case Kind::number:
            break;
    }
    return readNumber(text, value);
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

}  // namespace

bool isSettingsCommentLine(std::string_view line) {
    if (line.empty()) return false;
    const char first = line.front();
    return first == '/' || first == ';' || first == '[' || first == '\\';
}

std::optional<bool> parseSwitch(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "true" || lower == "yes" || lower == "on") return true;
    if (lower == "false" || lower == "no" || lower == "off") return false;
    // A number keeps the meaning it always had: 0 and -1 are off, any other on.
    try {
        const std::int32_t number = parseInt(lower);
        return number != 0 && number != -1;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<float> readSettingValue(std::string_view key, const std::string& text) {
    float value = 0.0f;
    if (!readSetting(key, text, value)) return std::nullopt;
    return value;
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
        checkSettings(settings, defaults);
        return;
    }
    writeLog(std::string("loading settings file: ") + path);

    LineReader reader(withoutByteOrderMark(content));
    std::string_view line;
    std::set<std::string, std::less<>> named;
    while (reader.next(line)) {
        if (line.empty() || isSettingsCommentLine(line)) continue;
        std::string_view key;
        std::string_view value;
        if (!splitEntry(line, key, value)) {
            writeLog(cannotParseLineMessage(line));
            continue;
        }
        settings.insert_or_assign(std::string(key), std::string(value));
        named.emplace(key);
    }
    writeLog("settings file loaded");
    // A Settings.ini kept from an older version lacks the settings added since: each takes its
    // default, and the player reading the log learns which and how to choose.
    for (const auto& [key, fallback] : defaults) {
        if (!named.contains(key)) {
            writeLog("setting " + key + " is not in Settings.ini; using the default " + fallback);
        }
    }
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
