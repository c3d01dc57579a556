#include "support/Harness.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include "plugin/Entry.h"
#endif

namespace tollmere::testing {

namespace {

bool pluginStarted = false;

#ifdef _WIN32

std::filesystem::path makeWorkingFolder() {
    const auto temporary = std::filesystem::temp_directory_path();
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        const auto folder = temporary / ("tollmere-" + std::to_string(GetCurrentProcessId()) + "-" +
                                         std::to_string(GetTickCount() + attempt));
        if (std::filesystem::create_directory(folder)) return folder;
    }
    throw std::runtime_error("cannot make a working folder in " + temporary.string());
}

// The game loads plug-ins from its own folder; the tests' program stands in for the game.
std::filesystem::path pluginPath() {
    std::wstring program(MAX_PATH, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
    program.resize(length);
    return std::filesystem::path(program).parent_path() / "Tollmere.asi";
}

#else

std::filesystem::path makeWorkingFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tollmere-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a working folder in " + pattern);
    return pattern;
}

// Calls the library entry as the Windows loader does, and fails as LoadLibrary would when the entry
// refuses. A thread starting and ending in between must change nothing.
void enterLibrary(HINSTANCE__* module, unsigned long reason) {
    for (const unsigned long call : {reason, 2ul, 3ul}) {
        if (DllMain(module, call, nullptr) != 1)
            throw std::runtime_error("the library entry refused reason " + std::to_string(call));
    }
}

#endif

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
    if (running_) stop();
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
    std::ifstream in(folder_ / "Tollmere" / name);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string Harness::readBytes(const std::string& name) const {
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
#ifdef _WIN32
    plugin_ = LoadLibraryW(pluginPath().c_str());
    if (plugin_ == nullptr) {
        throw std::runtime_error("cannot load " + pluginPath().string() + ": error " +
                                 std::to_string(GetLastError()));
    }
#else
    host().attach([](HINSTANCE__* module) { enterLibrary(module, 1); });
#endif
    running_ = true;
}

void Harness::stop() {
    if (!running_) return;
    running_ = false;
#ifdef _WIN32
    if (plugin_ != nullptr) FreeLibrary(static_cast<HMODULE>(plugin_));
    plugin_ = nullptr;
#else
    host().detach([](HINSTANCE__* module) { enterLibrary(module, 0); });
#endif
}

int Harness::countCalls(const std::string& name) const {
    return static_cast<int>(sim::Host::instance().callsTo(name).size());
}

std::unique_ptr<Harness> Harness::restarted(int milliseconds) {
    const char* folder = std::getenv("TOLLMERE_RESTART_FOLDER");
    if (folder == nullptr) return nullptr;
    auto game = std::make_unique<Harness>(std::filesystem::path(folder));
    game->start();
    game->runFor(milliseconds);
    return game;
}

bool Harness::runCaseInChildProcess(const std::filesystem::path& folder, const std::string& testCase) {
    const std::string arguments = " --gtest_also_run_disabled_tests --gtest_filter=" + testCase;
#ifdef _WIN32
    std::wstring program(MAX_PATH, L'\0');
    program.resize(GetModuleFileNameW(nullptr, program.data(), MAX_PATH));
    std::wstring commandLine = L"\"" + program + L"\"" + std::wstring(arguments.begin(), arguments.end());
    SetEnvironmentVariableW(L"TOLLMERE_RESTART_FOLDER", folder.c_str());
    STARTUPINFOW startup{.cb = sizeof(STARTUPINFOW)};
    PROCESS_INFORMATION process{};
    const bool created = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                        nullptr, &startup, &process);
    SetEnvironmentVariableW(L"TOLLMERE_RESTART_FOLDER", nullptr);
    if (!created) return false;
    WaitForSingleObject(process.hProcess, 120000);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode == 0;
#else
    const std::string program = std::filesystem::read_symlink("/proc/self/exe").string();
    setenv("TOLLMERE_RESTART_FOLDER", folder.c_str(), 1);
    const int status = std::system(("'" + program + "'" + arguments + " >/dev/null 2>&1").c_str());
    unsetenv("TOLLMERE_RESTART_FOLDER");
    return status == 0;
#endif
}

}  // namespace tollmere::testing
