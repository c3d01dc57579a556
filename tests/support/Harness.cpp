#include "support/Harness.h"

#include "plugin/Entry.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tollmere::testing {

namespace {

bool pluginStarted = false;

std::filesystem::path makeWorkingFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tollmere-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a working folder in " + pattern);
    return pattern;
}

}  // namespace

Harness::Harness() : previousDirectory_(std::filesystem::current_path()), folder_(makeWorkingFolder()) {
    std::filesystem::copy(TOLLMERE_ASSETS_DIR, folder_ / "Tollmere", std::filesystem::copy_options::recursive);
    std::filesystem::current_path(folder_);
}

Harness::Harness(const std::filesystem::path& existingFolder)
    : previousDirectory_(std::filesystem::current_path()), folder_(existingFolder), keepFolder_(true) {
    std::filesystem::current_path(folder_);
}

Harness::~Harness() {
    std::error_code ignored;
    std::filesystem::current_path(previousDirectory_, ignored);
    if (!keepFolder_ && std::getenv("TOLLMERE_KEEP_RUNS") == nullptr) std::filesystem::remove_all(folder_, ignored);
}

void Harness::writeFile(const std::string& name, const std::string& content) {
    std::ofstream(folder_ / "Tollmere" / name, std::ios::binary | std::ios::trunc) << content;
}

void Harness::removeFile(const std::string& name) { std::filesystem::remove(folder_ / "Tollmere" / name); }

bool Harness::hasFile(const std::string& name) const { return std::filesystem::exists(folder_ / "Tollmere" / name); }

std::string Harness::readFile(const std::string& name) const {
    std::ifstream in(folder_ / "Tollmere" / name, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::vector<std::string> Harness::logMessages() const {
    std::vector<std::string> messages;
    std::istringstream log(readFile("Log.log"));
    std::string line;
    while (std::getline(log, line)) {
        const auto stampEnd = line.find("] ");
        if (line.starts_with("[") && stampEnd != std::string::npos) {
            messages.push_back(line.substr(stampEnd + 2));
        } else if (!messages.empty()) {
            // A message with a line feed of its own carries on in the next line.
            messages.back() += "\n" + line;
        }
    }
    return messages;
}

int Harness::findLog(const std::string& text, int from) const {
    const auto messages = logMessages();
    for (int i = from; i < static_cast<int>(messages.size()); ++i) {
        if (messages[static_cast<std::size_t>(i)] == text) return i;
    }
    return -1;
}

void Harness::start() {
    if (pluginStarted) {
        throw std::logic_error(
            "the plug-in was already started in this process: its globals live for the whole process, as in "
            "the game, so run each end-to-end case in a process of its own (ctest does)");
    }
    pluginStarted = true;
    host().attach(onProcessAttach);
}

int Harness::countCalls(const std::string& name) const {
    return static_cast<int>(sim::Host::instance().callsTo(name).size());
}

}  // namespace tollmere::testing
