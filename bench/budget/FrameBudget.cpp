// What one frame of the plug-in costs, state by state, in the simulated game: native calls and
// the arguments pushed, heap allocations and the plug-in's own time. Each state is played from a
// fresh start in a process of its own, as the plug-in's globals live for the process.
//
//   tollmere_budget STATE            prints the state's figures as one table row
//   tollmere_budget STATE --check F  fails when the state makes more native calls or allocations
//                                    per frame than its row in the table F allows
//
// Allocations count the plug-in's own: what happens on the script's thread outside the eight host
// functions, told apart through the host's observer. The time is the script's from waking to its
// next wait, so it includes the simulated game's answers and its record of every call (the
// drawing natives read texts back from it), but not the host's hand-off.

#include "Hash.h"
#include "Host.h"
#include "support/Harness.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

// --- What the plug-in's side of a frame costs -------------------------------------------------

using Clock = std::chrono::steady_clock;

std::thread::id hostThread;
thread_local int insideHost = 0;
std::atomic<long long> pluginAllocations{0};
// The script's time from its wake-up to its next wait: the plug-in's frame with the simulated
// game's answers in it, and none of the hand-off between host and script.
Clock::time_point wokeAt{};
Clock::duration frameTime{};
long long nativeCalls = 0;
long long pushedArguments = 0;

bool trapAllocations =
    false;  // TOLLMERE_BUDGET_TRAP=1: stop at the first allocation measured, for a debugger

bool onPluginSide() {
    return insideHost == 0 && std::this_thread::get_id() != hostThread;
}

void observeHostCall(const char* function, bool entering) {
    insideHost += entering ? 1 : -1;
    const std::string_view name(function);
    if (entering && name == "nativeCall") ++nativeCalls;
    if (entering && name == "nativePush64") ++pushedArguments;
    if (name != "scriptWait") return;
    const Clock::time_point now = Clock::now();
    if (entering && wokeAt != Clock::time_point{}) frameTime += now - wokeAt;
    if (!entering) wokeAt = now;
}

struct Figures {
    double calls = 0;
    double arguments = 0;
    double allocations = 0;
    double microseconds = 0;
};

// Runs `frames` frames of the game and divides what they cost by their number.
Figures measure(tollmere::testing::Harness& game, int frames) {
    const long long calls = nativeCalls;
    const long long arguments = pushedArguments;
    const long long allocations = pluginAllocations.load();
    frameTime = {};
    game.runFrames(frames);
    return Figures{static_cast<double>(nativeCalls - calls) / frames,
                   static_cast<double>(pushedArguments - arguments) / frames,
                   static_cast<double>(pluginAllocations.load() - allocations) / frames,
                   std::chrono::duration<double, std::micro>(frameTime).count() / frames};
}

// --- Bringing the game into each state ---------------------------------------------------------

const sim::Vec3 kFarAway{};
const sim::Vec3 kLagrasPier{2181.28f, -618.158f, 41.9048f};
const sim::Vec3 kPoint43{2951.23f, 1200.03f, 40.5784f};  // a river spawn point of the robbery
const char* const kBoatAtLagras =
    "dock_id=1\nhealth=1.000000\nlantern_propset_index=-1\nmax_health=1000\nowned_boat_model=-1613317544\n"
    "propset_index=-1\ntint=1\n";

class Player {
  public:
    explicit Player(tollmere::testing::Harness& game) : game_(game) {}

    void start() {
        game_.start();
        game_.runFor(500);
        if (!runUntil([&] { return !game_.host().callsTo("displayHud").empty(); }, 600)) fail("start-up");
        game_.runFrame();
    }

    void standAt(const sim::Vec3& point) {
        game_.world().putPlayerOnFoot();
        game_.world().playerPed().position = point;
        game_.runFrames(5);
    }

    void openDockMenu() {
        standAt(kLagrasPier);
        game_.world().input.hold("INPUT_CONTEXT_Y", 40);
        if (!runUntil([&] { return promptShown("prompts.close"); }, 60)) fail("the dock menu");
        game_.world().input.release("INPUT_CONTEXT_Y");
        game_.runFrames(2);
    }

    void openShop(const char* promptKey) {
        openDockMenu();
        if (!promptShown(promptKey)) fail(promptKey);
        game_.world().input.press("INPUT_CONTEXT_Y");
        if (!runUntil(
                [&] { return game_.world().screen.thisFrame().findText(lang("catalog.title")) != nullptr; },
                300)) {
            fail("the shop");
        }
        game_.runFrames(30);
    }

    void rowOwnBoat() {
        for (const sim::Entity* vehicle : game_.world().vehicles()) {
            if (vehicle->decorators.contains("QY_RB_isPlayerBoat")) {
                game_.world().putPlayerInVehicle(vehicle->handle);
                game_.world().moveVehicle(vehicle->handle, sim::Vec3{2300.0f, -650.0f, 40.5f});
                game_.runFrames(5);
                return;
            }
        }
        fail("the owned boat");
    }

    // Every attempt succeeds; the player waits out the first 14.4 s far from the river, then
    // stands near a spawn point until the robbery's boats are in the water.
    void meetRobbery() {
        game_.world().playerPed().position = kFarAway;
        game_.runFor(14500);
        game_.world().playerPed().position = sim::Vec3{kPoint43.x, kPoint43.y + 250.0f, kPoint43.z};
        game_.world().scriptedInts.assign({0, 2, 1, 3, 80});
        game_.world().scriptedFloats.assign({0.5f});
        if (!runUntil(
                [&] {
                    return game_.findLog(
                               "RandomEventExecutor: event triggered. coords: 2951.23,1200.03,40.5784") >= 0;
                },
                300)) {
            fail("the robbery");
        }
        game_.runFrames(30);
    }

  private:
    bool runUntil(const std::function<bool()>& done, int frames) {
        for (int frame = 0; frame < frames; ++frame) {
            game_.runFrame();
            if (done()) return true;
        }
        return false;
    }

    std::string lang(const std::string& key) const {
        const std::string content = "\n" + game_.readFile("Lang.dat");
        const auto at = content.find("\n" + key + "=");
        if (at == std::string::npos) return {};
        const auto start = at + key.size() + 2;
        return content.substr(start, content.find('\n', start) - start);
    }

    bool promptShown(const char* key) const {
        const sim::GamePrompt* prompt = game_.world().prompts.withText(lang(key));
        return prompt != nullptr && game_.world().prompts.isVisible(prompt->handle);
    }

    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error("could not reach " + what + "; the game is in " + game_.folder().string());
    }

    tollmere::testing::Harness& game_;
};

struct State {
    const char* name;
    const char* description;
    bool ownsBoat;
    std::function<void(Player&)> reach;
};

const std::vector<State>& states() {
    static const std::vector<State> all = {
        {"start-up", "start-up as a whole, until the first frame (figures for all of it, not per frame)",
         false, nullptr},
        {"away", "on foot far from the docks, no boat", false, [](Player& p) { p.standAt(kFarAway); }},
        {"away-with-boat", "on foot far from the docks, a boat moored", true,
         [](Player& p) { p.standAt(kFarAway); }},
        {"pier", "on foot on a pier", false, [](Player& p) { p.standAt(kLagrasPier); }},
        {"dock-menu", "the dock menu open", false, [](Player& p) { p.openDockMenu(); }},
        {"catalogue", "the catalogue open", false, [](Player& p) { p.openShop("prompts.browse_catalog"); }},
        {"customise", "customise mode", true, [](Player& p) { p.openShop("prompts.customize_boat"); }},
        {"own-boat", "rowing the own boat", true, [](Player& p) { p.rowOwnBoat(); }},
        {"robbery", "a robbery spawned and under way", false, [](Player& p) { p.meetRobbery(); }},
    };
    return all;
}

constexpr int kFrames = 300;

std::string row(const State& state, const Figures& figures) {
    char text[256];
    std::snprintf(text, sizeof text, "| %s | %.1f | %.1f | %.2f | %.2f |", state.name, figures.calls,
                  figures.arguments, figures.allocations, figures.microseconds);
    return text;
}

// The state's row in the table: calls and allocations per frame allowed.
bool budgetOf(const std::string& table, const std::string& name, double& calls, double& allocations) {
    std::istringstream lines(table);
    std::string line;
    while (std::getline(lines, line)) {
        char found[64] = {};
        double arguments = 0;
        if (std::sscanf(line.c_str(), "| %63s | %lf | %lf | %lf |", found, &calls, &arguments,
                        &allocations) == 4 &&
            name == found) {
            return true;
        }
    }
    return false;
}

int run(const State& state, const char* tablePath) {
    // Read before the game starts: the harness moves into a working folder of its own.
    std::stringstream table;
    if (tablePath != nullptr) table << std::ifstream(tablePath).rdbuf();
    hostThread = std::this_thread::get_id();
    sim::Host::hostCallObserver = observeHostCall;
    tollmere::testing::Harness game;
    if (state.ownsBoat) game.writeFile("PlayerBoat.dat", kBoatAtLagras);
    // The robbery's state meets one at once; elsewhere none starts in the middle of a measurement.
    game.writeFile("Settings.ini", std::string(state.name) == "robbery"
                                       ? "RandomBoatRobberyEventsFrequency=1\n"
                                       : "EnableBoatRobberies=0\n");
    Player player(game);

    Figures figures;
    if (state.reach == nullptr) {
        player.start();
        figures = Figures{static_cast<double>(nativeCalls), static_cast<double>(pushedArguments),
                          static_cast<double>(pluginAllocations.load()),
                          std::chrono::duration<double, std::micro>(frameTime).count()};
    } else {
        player.start();
        state.reach(player);
        measure(game, 60);  // warm-up: pools and caches fill in the first frames of a state
        trapAllocations = std::getenv("TOLLMERE_BUDGET_TRAP") != nullptr;
        figures = measure(game, kFrames);
        // TOLLMERE_BUDGET_REPEATS=1: name the natives asked more than once with the same arguments
        // in the last frame, the place to look for a call the frame could save.
        if (std::getenv("TOLLMERE_BUDGET_REPEATS") != nullptr) {
            std::map<std::pair<std::string, std::vector<std::uint64_t>>, int> seen;
            for (const sim::CallRecord& call : game.host().calls()) {
                if (call.frame == game.world().frame) ++seen[{call.name, call.args}];
            }
            for (const auto& [key, count] : seen) {
                if (count > 1) std::printf("  %dx %s\n", count, key.first.c_str());
            }
        }
    }
    std::printf("%s\n", row(state, figures).c_str());

    if (tablePath == nullptr) return 0;
    double calls = 0;
    double allocations = 0;
    if (!budgetOf(table.str(), state.name, calls, allocations)) {
        std::fprintf(stderr, "%s has no row for %s\n", tablePath, state.name);
        return 1;
    }
    bool within = true;
    // Half a call of slack: the table rounds to tenths, and a frame's count may differ by a timer.
    if (figures.calls > calls + 0.5) {
        std::fprintf(stderr, "%s: %.1f native calls per frame, the table allows %.1f\n", state.name,
                     figures.calls, calls);
        within = false;
    }
    // Start-up allocates while it loads the files and logs, by amounts that follow the clock's
    // digits; only the frames are held to a count.
    if (state.reach != nullptr && figures.allocations > allocations) {
        std::fprintf(stderr, "%s: %.2f heap allocations per frame, the table allows %.2f\n", state.name,
                     figures.allocations, allocations);
        within = false;
    }
    return within ? 0 : 1;
}

void usage(FILE* out) {
    std::fprintf(out,
                 "Usage: tollmere_budget STATE [--check TABLE]\n       tollmere_budget --list\n\nStates:\n");
    for (const State& state : states())
        std::fprintf(out, "  %-15s %s\n", state.name, state.description);
}

}  // namespace

// Counts the plug-in's heap allocations; the simulated game's and the harness's are left out.
void* operator new(std::size_t size) {
    if (onPluginSide()) {
        pluginAllocations.fetch_add(1, std::memory_order_relaxed);
        if (trapAllocations) __builtin_trap();
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
// The replaced operator new allocates with malloc, so free is its match; GCC cannot see that.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
#pragma GCC diagnostic pop

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        usage(stdout);
        return 0;
    }
    if (args.size() == 1 && args[0] == "--list") {
        for (const State& state : states())
            std::printf("%s\t%s\n", state.name, state.description);
        return 0;
    }
    const bool check = args.size() == 3 && args[1] == "--check";
    if (args.size() != 1 && !check) {
        std::fprintf(stderr, "tollmere_budget: expected a state and at most --check TABLE (see --help)\n");
        return 2;
    }
    for (const State& state : states()) {
        if (args[0] == state.name) {
            try {
                return run(state, check ? args[2].c_str() : nullptr);
            } catch (const std::exception& error) {
                std::fprintf(stderr, "tollmere_budget: %s: %s\n", state.name, error.what());
                return 1;
            }
        }
    }
    std::fprintf(stderr, "tollmere_budget: unknown state %s (see --help)\n", args[0].c_str());
    return 2;
}
