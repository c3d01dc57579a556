// tollmere-check: reads a Tollmere folder as the plug-in reads it and says what is wrong in it.

#include "FolderCheck.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

constexpr int kUsageError = 3;

void printUsage() {
    std::printf(
        "Usage: tollmere-check [FOLDER]\n"
        "\n"
        "Reads the Tollmere folder the way the Tollmere plug-in reads it at the game's start and reports,\n"
        "file by file and line by line, what the plug-in will make of each fault: lines that stop the\n"
        "load, keys that are missing, empty, not numbers or out of range, keys nothing reads, a boat\n"
        "record that does not fit or looks overwritten (it holds no boat while the copy the plug-in\n"
        "keeps, PlayerBoat.dat.bak, holds one), byte-order marks, mixed line endings and text that is\n"
        "not UTF-8.\n"
        "\n"
        "FOLDER is the Tollmere folder, or the game's folder holding it (default: the current folder).\n"
        "\n"
        "Options:\n"
        "  -h, --help   show this help and exit\n"
        "\n"
        "Exit status: 0 no problems, 1 warnings only, 2 errors, 3 wrong usage.\n");
}

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path folder;
    bool folderGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            printUsage();
            return 0;
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

    const auto findings = tollmere::check::checkFolder(folder);
    int errors = 0;
    int warnings = 0;
    for (const std::string& file : tollmere::check::checkedFiles()) {
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
