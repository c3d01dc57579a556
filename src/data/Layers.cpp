#include "data/Layers.h"

#include "data/DataFiles.h"
#include "data/TextFormat.h"
#include "runtime/Log.h"
#include "runtime/Utf8.h"

#include <cctype>

namespace tollmere {

const char* languageOfGame(std::int32_t value) {
    if (value < 0 || value >= static_cast<std::int32_t>(std::size(kLanguageCodes))) return nullptr;
    return kLanguageCodes[value];
}

const char* knownLanguage(std::string_view text) {
    for (const char* code : kLanguageCodes) {
        const std::string_view known(code);
        if (known.size() != text.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < text.size() && same; ++i) {
            same = std::tolower(static_cast<unsigned char>(text[i])) ==
                   std::tolower(static_cast<unsigned char>(known[i]));
        }
        if (same) return code;
    }
    return nullptr;
}

LanguageChoice chooseLanguage(std::int32_t gameValue, std::string_view setting) {
    if (const char* chosen = knownLanguage(setting)) return {chosen, "set by Language in Settings.ini"};
    if (const char* game = languageOfGame(gameValue)) return {game, "the game's language"};
    return {kEnglish, "the game's language " + std::to_string(gameValue) + " is not one Tollmere knows"};
}

std::vector<std::string> layerNames(std::string_view shippedName, const char* language) {
    const std::string stem(shippedName.substr(0, shippedName.rfind('.')));
    std::vector<std::string> names;
    if (shippedName == "Lang.dat") {
        // A player in Mexico reads the Spanish of Spain sooner than English.
        if (std::string_view(language) == "es-MX") names.emplace_back("Lang.es-ES.dat");
        if (std::string_view(language) != kEnglish) names.push_back(stem + "." + language + ".dat");
    }
    names.push_back(stem + ".custom.dat");
    return names;
}

Layer readLayer(const std::string& path, std::string name) {
    Layer layer;
    layer.name = std::move(name);
    std::string content;
    if (!readWholeFile(path.c_str(), content)) return layer;
    layer.state = Layer::State::read;
    LineReader reader(withoutByteOrderMark(content));
    std::string_view line;
    while (reader.next(line)) {
        ++layer.lines;
        if (line.empty()) continue;
        std::string_view key;
        std::string_view value;
        const bool leftEmpty = line.find('=') == line.size() - 1;
        if (const std::size_t bad = utf8::firstInvalidByte(line); bad != std::string_view::npos) {
            layer.problem = "bytes that are not UTF-8 text at column " + std::to_string(bad + 1);
        } else if (leftEmpty) {
            key = line.substr(0, line.size() - 1);
        } else if (!splitEntry(line, key, value)) {
            layer.problem = "not key=value";
        }
        if (!layer.problem.empty()) {
            layer.state = Layer::State::skipped;
            layer.badLine = layer.lines;
            layer.entries.clear();
            return layer;
        }
        layer.entries.insert_or_assign(std::string(key), LayerEntry{std::string(value), layer.lines});
    }
    return layer;
}

void applyLayer(DictDataFile& file, const Layer& layer, const char* origin) {
    for (const auto& [key, entry] : layer.entries) {
        file.layOver(key, entry.value, origin);
    }
}

std::vector<std::string> loadLayers(const char* language) {
    std::vector<std::string> skipped;
    const std::pair<DictDataFile*, const char*> shipped[] = {{LangData, "Lang.dat"},
                                                             {ConfigsData, "Configs.dat"}};
    for (const auto& [file, shippedName] : shipped) {
        for (const std::string& name : layerNames(shippedName, language)) {
            const char* path = dataFilePath(name.c_str());
            const Layer layer = readLayer(path, name);
            switch (layer.state) {
                case Layer::State::absent:
                    // A missing translation is worth a line: the player expected his language.
                    if (name.find(".custom.") == std::string::npos) {
                        writeLog("no Tollmere/" + name + ": what it would translate stays in English");
                    }
                    break;
                case Layer::State::read:
                    applyLayer(*file, layer, path);
                    writeLog("read Tollmere/" + name + " over " + shippedName + ": " +
                             std::to_string(layer.entries.size()) +
                             (layer.entries.size() == 1 ? " key" : " keys"));
                    break;
                case Layer::State::skipped:
                    writeLog("Tollmere/" + name + " is not read: line " + std::to_string(layer.badLine) +
                             " holds " + layer.problem + "; the files under it are used instead");
                    skipped.push_back(name);
                    break;
            }
        }
    }
    return skipped;
}

}  // namespace tollmere
