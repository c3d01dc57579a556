#pragma once
// The player's language and the files laid over the shipped texts and prices: a translation
// (Lang.<code>.dat) over Lang.dat, and the player's own Lang.custom.dat and Configs.custom.dat over
// everything shipped. Key by key, a value higher up wins; a key missing or left empty higher up keeps
// the one below. The plug-in reads these files once at start-up and never writes them.

#include "data/DictDataFile.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tollmere {

// The game's languages by the number it reports them with.
inline constexpr const char* kLanguageCodes[] = {"en-US", "fr-FR", "de-DE", "it-IT", "es-ES",
                                                 "pt-BR", "pl-PL", "ru-RU", "ko-KR", "zh-TW",
                                                 "ja-JP", "es-MX", "zh-CN"};
// The language of Lang.dat itself.
inline constexpr const char* kEnglish = "en-US";
inline constexpr const char* kAutomaticLanguage = "auto";

// The code for a number the game reports, or nullptr for one it does not document.
const char* languageOfGame(std::int32_t value);
// The code written in any case ("fr-fr"), as the list above spells it; nullptr for no known code.
const char* knownLanguage(std::string_view text);

struct LanguageChoice {
    const char* code;
    std::string why;  // for the log: "the game's language", "set by Language in Settings.ini", ...
};

// setting is Settings.ini's Language, already checked: "auto" or a known code.
LanguageChoice chooseLanguage(std::int32_t gameValue, std::string_view setting);

// The files laid over a shipped file, lowest first: for "Lang.dat" in fr-FR "Lang.fr-FR.dat" and
// "Lang.custom.dat"; in es-MX "Lang.es-ES.dat" comes first, as the nearer language to fall back on;
// for "Configs.dat" "Configs.custom.dat" in any language.
std::vector<std::string> layerNames(std::string_view shippedName, const char* language);

struct LayerEntry {
    std::string value;  // empty: left empty, the layer below shows through
    int line = 0;
};

struct Layer {
    enum class State { absent, read, skipped };
    std::string name;  // "Lang.fr-FR.dat"
    State state = State::absent;
    // skipped: the first line that cannot be read and what is wrong with it
    int badLine = 0;
    std::string problem;
    std::map<std::string, LayerEntry, std::less<>> entries;  // read: the last line of each key
    int lines = 0;
};

// Reads one layer file whole. Empty lines are skipped; "key=" leaves a key empty. A line that is not
// key=value or holds bytes that are not UTF-8 makes the whole layer skipped, with nothing in it: a
// half-read translation would show two languages at once.
Layer readLayer(const std::string& path, std::string name);

// Puts a read layer over a file key by key; empty values are left out. origin: the layer's path.
void applyLayer(DictDataFile& file, const Layer& layer, const char* origin);

// At start-up, after loadDataFiles: lays the translation and the player's own files over LangData
// and ConfigsData, logging each file read or skipped. The names of the files skipped, for the
// error notice.
std::vector<std::string> loadLayers(const char* language);

}  // namespace tollmere
