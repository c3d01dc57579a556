// tollmere-check: reads a Tollmere folder as the plug-in reads it and says what is wrong in it.

#include "FolderCheck.h"

#include "data/Layers.h"
#include "data/TextFormat.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

constexpr int kUsageError = 3;

void printUsage() {
    std::printf(
        "Usage: tollmere-check [FOLDER]\n"
        "       tollmere-check [FOLDER] --key KEY [--language CODE]\n"
        "\n"
        "Reads the Tollmere folder the way the Tollmere plug-in reads it at the game's start and reports,\n"
        "file by file and line by line, what the plug-in will make of each fault: lines that stop the\n"
        "load, keys that are missing, empty, not numbers or out of range, keys nothing reads, a boat\n"
        "record that does not fit or looks overwritten (it holds no boat while the copy the plug-in\n"
        "keeps, PlayerBoat.dat.bak, holds one), byte-order marks, mixed line endings and text that is\n"
        "not UTF-8. Translations (Lang.<code>.dat) and your own Lang.custom.dat and Configs.custom.dat\n"
        "are checked as the plug-in lays them over the shipped files: keys nothing reads, empty texts,\n"
        "a translation missing a \"$\" or a number the English has, or texts it lacks, help texts longer\n"
        "than the game shows, and prices that are not numbers or below 0.\n"
        "\n"
        "FOLDER is the Tollmere folder, or the game's folder holding it (default: the current folder).\n"
        "\n"
        "Options:\n"
        "  --key KEY        say which file the value of KEY (a text or a price) comes from, and what it\n"
        "                   hides in the files under it\n"
        "  --language CODE  the language --key looks in (fr-FR, ...); default: Language in\n"
        "                   Settings.ini, or en-US when that is auto (the game's language)\n"
        "  -h, --help       show this help and exit\n"
        "\n"
        "Exit status: 0 no problems, 1 warnings only, 2 errors, 3 wrong usage.\n");
}

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path folder;
    bool folderGiven = false;
    const char* key = nullptr;
    const char* language = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            printUsage();
            return 0;
        }
        if ((argument == "--key" || argument == "--language") && i + 1 < argc) {
            (argument == "--key" ? key : language) = argv[++i];
            continue;
        }
        if (argument.starts_with("-") && argument != "-") {
            std::fprintf(stderr, "tollmere-check: unknown option %s (try --help)\n", argv[i]);
            return kUsageError;
        }
        if (folderGiven) {
            std::fprintf(stderr, "tollmere-check: one folder at a time, not also %s (try --help)\n", argv[i]);
            return kUsageError;
        }
        folder = argument;
        folderGiven = true;
    }
    if (!folderGiven) folder = ".";
    // The game's folder holds the Tollmere folder; the plug-in looks there.
    if (std::filesystem::is_directory(folder / "Tollmere")) folder /= "Tollmere";
    if (!std::filesystem::is_directory(folder)) {
        std::printf("%s: not a folder; the plug-in needs a Tollmere folder next to the game\n",
                    folder.string().c_str());
        std::printf("tollmere-check: 1 error, 0 warnings\n");
        return 2;
    }

    if (key != nullptr) {
        if (language == nullptr) {
            // Read here rather than through the settings' loader, which would write to the log.
            std::string settings;
            (void)tollmere::readWholeFile((folder / "Settings.ini").string().c_str(), settings);
            tollmere::LineReader reader(tollmere::withoutByteOrderMark(settings));
            std::string_view line;
            std::string_view name;
            std::string_view value;
            while (reader.next(line)) {
                if (tollmere::splitEntry(line, name, value) && name == "Language")
                    language = tollmere::knownLanguage(value);
            }
        } else if (tollmere::knownLanguage(language) == nullptr) {
            std::fprintf(stderr, "tollmere-check: %s is no language the game reports (try --help)\n",
                         language);
            return kUsageError;
        }
        if (language == nullptr) {
            std::printf(
                "(Language in Settings.ini is auto: the game's language decides, so en-US is shown; ask "
                "for another with --language CODE)\n");
        }
        std::printf("%s\n", tollmere::check::whereKeyComesFrom(
                                folder, key,
                                language != nullptr ? tollmere::knownLanguage(language) : tollmere::kEnglish)
                                .c_str());
        return 0;
    }

    const auto findings = tollmere::check::checkFolder(folder);
    int errors = 0;
    int warnings = 0;
    for (const std::string& file : tollmere::check::checkedFiles(folder)) {
        bool clean = true;
        for (const auto& finding : findings) {
            if (finding.file != file) continue;
            if (clean) std::printf("%s\n", file.c_str());
            clean = false;
            const bool error = finding.severity == tollmere::check::Severity::error;
            (error ? errors : warnings) += 1;
            const std::string where = finding.line > 0 ? "line " + std::to_string(finding.line) + ": " : "";
            std::printf("  %s%s: %s\n", where.c_str(), error ? "error" : "warning", finding.text.c_str());
        }
        if (clean) std::printf("%s: no problems found\n", file.c_str());
    }
    std::printf("tollmere-check: %d error%s, %d warning%s in %s\n", errors, errors == 1 ? "" : "s", warnings,
                warnings == 1 ? "" : "s", folder.string().c_str());
    return errors > 0 ? 2 : warnings > 0 ? 1 : 0;
}
