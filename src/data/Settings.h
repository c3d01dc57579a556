#pragma once
// The player's options from "Tollmere/Settings.ini": read once at start-up over a table of
// defaults, never changed or written afterwards. The getters run every frame and never allocate.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tollmere {

// "EnableBoatRobberies"="1", "RandomBoatRobberyEventsFrequency"="0.5",
// "BoatRobberiesRewardMultiplier"="1.0", "Language"="auto".
std::map<std::string, std::string> defaultSettings();

// Replaces the store with the defaults, then reads the file over them. A missing file, comment
// lines (first character '/', ';', '[' or a backslash) and bad lines never stop it: a missing
// file keeps the defaults, a bad line is logged and skipped.
void loadSettings(const char* path, const std::map<std::string, std::string>& defaults);

// A line the settings file skips unread: its first character is '/', ';', '[' or a backslash.
bool isSettingsCommentLine(std::string_view line);

// A switch setting's value: true/false, yes/no or on/off in any case, or a number (0 and -1 are
// off, any other on, as they always were); nothing for any other text.
std::optional<bool> parseSwitch(std::string_view text);

// The value the plug-in takes from a setting's text (a switch as 1 or 0), or nothing when the text
// is not valid for that setting, which makes the plug-in log it and use the default.
std::optional<float> readSettingValue(std::string_view key, const std::string& text);

// The stored text, or an empty text when the key is absent; a lookup never adds a key.
const std::string& getSettingString(const char* key);

// A setting with a default answers the value checked at load: a value not valid for it was
// logged once and replaced by the default, so these never throw for it. Any other key: false when
// the text is empty, otherwise read as parseInt does (true unless 0 or -1), throwing as it does.
bool getSettingBool(const char* key);

// As getSettingBool; any other key: 0.0 when empty, otherwise read as parseFloat does.
float getSettingFloat(const char* key);

}  // namespace tollmere
