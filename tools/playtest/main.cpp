// The play-test: runs the random player in the simulated game, run after run, checking the
// invariants after every frame. Each start of the game is a process of its own on the run's
// folder (the plug-in's globals live per process, as in the game), so the runner starts this
// program again for every start of the game and carries the run over in playtest.state.

#include "Invariants.h"
#include "Meetings.h"
#include "Player.h"
#include "Session.h"

#include "host/BoatTypes.h"
#include "runtime/Globals.h"
#include "support/Harness.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace tollmere::playtest;
using tollmere::testing::Harness;

constexpr int kRestartExit = 10;
constexpr int kBrokenExit = 1;

// Roads the fixed ctest runs must reach between them, each in two runs (--check-coverage): what no
// rule can judge unless some run plays it.
const char* const kRequiredRoads[] = {
    "boat-repaired",        "option-bought",        "option-removed",   "restart-with-damaged-boat",
    "guard-killed",         "robbery-sold",         "robbery-failed",   "robbery-abandoned",
    "anchor-dropped",       "rowed-against-anchor", "fast-docking",     "damaged-boat-sold",
    "shop-closed-by-scene", "boat-destroyed",       "paid-at-a-prompt", "neighbour-in-shop",
    "token-reward-sold",    "guard-gone",           "lanterns-bought",  "shop-waited",
    "cash-gone-in-shop",    "even-frames",          "paint-tried-on-the-way", "boat-bought-after-damaged",
    "robbery-at-10-ms"};

const char* const kUsage =
    "usage: scripts/playtest [--runs N] [--frames N] [--from N] [--allow RULE,...] [--covered-to FILE]\n"
    "       scripts/playtest --check-coverage FILE,...\n"
    "\n"
    "Plays the random player in the simulated game, checking the invariants after every frame.\n"
    "  --runs N     how many runs to play (default 1)\n"
    "  --frames N   frames per run, across every start of the game (default 20000)\n"
    "  --from N     the first run number (default 1); run numbers make runs repeatable\n"
    "  --allow LIST rules to note but not stop at (faults known and being mended), comma-separated:\n"
    "               money-negative money-unshown money-gain record-loads record-paid record-moored\n"
    "               frame-error idle-prompt stolen-sale log-growth frame-allocation boat-kept\n"
    "               boat-destroyed boat-blip anchor-state leftovers tutorial-once log-kept\n"
    "               shop-screen shop-camera screen-feed sold-boat-left robbery tutorial-shown\n"
    "               service-done tutorial-comeback suspended-prompt dock-offer\n"
    "               money-owed shop-keys tutorial-due dock-marks boat-placed record-copy\n"
    "               boat-new\n"
    "  --covered-to FILE      after runs that all pass, write the roads they reached to FILE\n"
    "  --check-coverage LIST  fail unless the roads written to these files (comma-separated) reach\n"
    "                         every road the fixed runs must play, each in two runs, and every\n"
    "                         meeting they must play\n"
    "\n"
    "At the end it prints the meetings reached: the states he was in (rows) by the events that fell\n"
    "on them (columns), and how often; the player aims at those not yet reached in the run.\n";

struct Options {
    int runs = 1;
    long frames = 20000;
    int from = 1;
    std::string allow;
    std::string sessionFolder;  // set in a child: the run's folder
    std::string coveredTo;
    std::string checkCoverage;
};

void writeCoverage(const std::filesystem::path& file, const std::map<std::string, int>& covered) {
    std::ofstream out(file, std::ios::trunc);
    for (const auto& [road, count] : covered)
        out << road << ' ' << count << '\n';
}

// The roads the files name, by how many of their runs reached each; a file missing (its run broke a
// rule) reaches nothing. Every required road must be reached by two runs, so that one run picked
// again does not drop it; every required meeting by one.
int checkCoverage(const std::set<std::string>& files) {
    std::map<std::string, int> runs;
    std::map<std::string, int> times;
    int problems = 0;
    for (const std::string& file : files) {
        std::ifstream in(file);
        if (!in) {
            std::printf("playtest coverage: %s is missing: its runs did not all pass\n", file.c_str());
            ++problems;
        }
        std::string road;
        for (int count = 0; in >> road >> count;) {
            runs[road] += count > 0 ? 1 : 0;
            times[road] += count;
        }
    }
    Meetings::print(times);
    for (const char* road : kRequiredRoads) {
        if (runs[road] >= 2) continue;
        std::printf("playtest coverage: %s reached by %d run(s), not two\n", road, runs[road]);
        ++problems;
    }
    for (const std::string& meeting : Meetings::missingRequired(runs)) {
        std::printf("playtest coverage: no run reached %s\n", meeting.c_str());
        ++problems;
    }
    if (problems == 0) std::printf("playtest coverage: every required road and meeting reached\n");
    return problems == 0 ? 0 : 1;
}

std::set<std::string> splitList(const std::string& list) {
    std::set<std::string> items;
    std::stringstream in(list);
    for (std::string item; std::getline(in, item, ',');) {
        if (!item.empty()) items.insert(item);
    }
    return items;
}

std::uint64_t startValueOf(const Session& session) {
    return static_cast<std::uint64_t>(session.run) * 1000003u + static_cast<std::uint64_t>(session.index);
}

// Players edit the files by hand: a price deleted, a switch spelled their own way, a note added.
// Each edit meets the states he left the game in.
void editFilesByHand(Harness& game, std::mt19937_64& random, Session& session, Meetings& meetings) {
    auto chance = [&random](int percent) { return static_cast<int>(random() % 100) < percent; };
    // Some write prices with cents, which a float holds a hair off: 2.10 is 209.99998 cents.
    std::mt19937_64 cents(startValueOf(session) ^ 0x43656E7473ull);
    if (cents() % 4 == 0) {
        std::string configs = game.readFile("Configs.dat");
        for (auto at = configs.find("\nfees."); at != std::string::npos; at = configs.find("\nfees.", at + 1)) {
            const auto end = std::min(configs.find('\n', at + 1), configs.size());
            const auto value = configs.find('=', at) + 1;
            if (cents() % 2 == 0 || configs.substr(value, end - value).find('.') != std::string::npos) continue;
            configs.insert(end, "." + std::to_string(10 + cents() % 90));
        }
        game.writeFile("Configs.dat", configs);
        ++session.covered["edited-price-cents"];
    }
    if (chance(10)) {
        std::string configs = game.readFile("Configs.dat");
        static const char* const kFees[] = {"fees.clean_boat",    "fees.tint",     "fees.propset",
                                            "fees.retrieve_boat", "fees.fix_boat", "fees.lantern_propset"};
        const std::string key = std::string(kFees[random() % 6]) + "=";
        if (const auto at = configs.find(key); at != std::string::npos) {
            configs.erase(at, configs.find('\n', at) - at + 1);
            game.writeFile("Configs.dat", configs);
            ++session.covered["edited-price-removed"];
        }
    }
    std::string settings = game.readFile("Settings.ini");
    auto setSetting = [&settings](const std::string& key, const std::string& value) {
        const auto at = settings.find(key + "=");
        if (at == std::string::npos) return;
        settings.replace(at, settings.find('\n', at) - at, key + "=" + value);
    };
    // Robberies are what players come for: many turn their chance up.
    setSetting("RandomBoatRobberyEventsFrequency", chance(70) ? "1" : "0.5");
    if (chance(5)) {
        static const char* const kSpellings[] = {"yes", "true", "on"};
        setSetting("EnableBoatRobberies", kSpellings[random() % 3]);
        ++session.covered["edited-setting-spelling"];
        meetings.met("settings-edited", session.statesLeft);
    } else {
        setSetting("EnableBoatRobberies", "1");
    }
    // Players abroad: the game in another language (one it does not document among them), some
    // choosing Tollmere's in Settings.ini, prices and a boat name of their own in the files no update
    // touches; kept for the run, drawn apart so the edits above stay as they were. Paint stays at $1
    // or more: a purchase for nothing shows no charge, which is how his account learns of one.
    std::mt19937_64 abroad(startValueOf(session) ^ 0x4C616E67ull);
    auto abroadChance = [&abroad](int percent) { return static_cast<int>(abroad() % 100) < percent; };
    if (session.index == 0 && abroadChance(30)) {
        session.language = static_cast<int>(abroad() % 14);
        ++session.covered["language-" + std::to_string(session.language)];
        static const char* const kChosen[] = {"fr-FR", "pl-PL", "ru-ru", "es-MX", "Klingon"};
        setSetting("Language", abroadChance(30) ? kChosen[abroad() % 5] : "auto");
    }
    if (session.index == 0 && abroadChance(25)) {
        const std::string model =
            std::to_string(static_cast<std::int32_t>(tollmere::allBoatTypes()[abroad() % 5]->model));
        game.writeFile("Configs.custom.dat", "fees.boat." + model + "=" + std::to_string(abroad() % 200) +
                                                 "." + std::to_string(10 + abroad() % 90) +
                                                 "\nfees.tint=" + std::to_string(1 + abroad() % 20) + "\n");
        game.writeFile("Lang.custom.dat", "boat_types." + model + "=Łódź Ñandú\n");
        ++session.covered["custom-prices"];
    }
    // Drawn apart, so that the edits above stay what they were: settings deleted (the plug-in's own
    // defaults then), and the record's copy deleted.
    std::mt19937_64 gone(startValueOf(session) ^ 0x476F6E65ull);
    if (session.index > 0 && gone() % 25 == 0) {
        std::filesystem::remove(game.folder() / "Tollmere" / "Settings.ini");
        meetings.met("settings-gone", session.statesLeft);
    } else {
        game.writeFile("Settings.ini", settings);
    }
    if (session.index > 0 && gone() % 12 == 0) {
        std::filesystem::remove(game.folder() / "Tollmere" / "PlayerBoat.dat.bak");
        meetings.met("copy-missing", session.statesLeft);
    }
    // A stale record: the copy put back over it (the checker tells players how, for a record that
    // lost its boat). The boat, dock, paint and fittings it names are his again, as they were when
    // the copy was kept: when he last changed boats.
    const std::filesystem::path copy = game.folder() / "Tollmere" / "PlayerBoat.dat.bak";
    if (session.index > 0 && std::filesystem::exists(copy) && gone() % 6 == 0) {
        std::filesystem::copy_file(copy, game.folder() / "Tollmere" / "PlayerBoat.dat",
                                   std::filesystem::copy_options::overwrite_existing);
        session.recordRestored = true;
        meetings.met("record-stale", session.statesLeft);
    }
    if (chance(5)) {
        game.writeFile("PlayerBoat.dat", game.readFile("PlayerBoat.dat") + "note==\n");
        ++session.covered["edited-record-note"];
        meetings.met("record-edited", session.statesLeft);
    }
    // Some rob for the chase, not the money: the reward set to a token dollar, the guard bonus off.
    if (chance(25)) {
        std::string configs = game.readFile("Configs.dat");
        for (const char* line :
             {"boat_robberies.guard_bonus=", "boat_robberies.max_reward=", "boat_robberies.min_reward="}) {
            const auto at = configs.find(line);
            if (at == std::string::npos) continue;
            const auto end = configs.find('\n', at);
            configs.replace(
                at, (end == std::string::npos ? configs.size() : end) - at,
                std::string(line) + (std::string_view(line).starts_with("boat_robberies.guard") ? "0" : "1"));
        }
        game.writeFile("Configs.dat", configs);
        ++session.covered["edited-token-reward"];
    }
    // And some would rather not pay to have their boat brought to them.
    if (chance(10)) {
        std::string configs = game.readFile("Configs.dat");
        const std::string line = "fees.retrieve_boat=";
        if (const auto at = configs.find(line); at != std::string::npos) {
            configs.replace(at, configs.find('\n', at) - at, line + "0");
            game.writeFile("Configs.dat", configs);
            ++session.covered["edited-free-fetch"];
        }
    }
}

// Frames the plug-in has to start up in: the map's texture dictionary, the files, the boat placed.
constexpr int kStartUpFrames = 300;

bool dockMarksShown(const sim::World& world) {
    return std::ranges::count_if(world.blips, [](const auto& blip) { return blip.second.entity == 0; }) > 0;
}

std::string replayCommand(const Session& session, const Options& options) {
    return "scripts/playtest --from " + std::to_string(session.run) + " --runs 1 --frames " +
           std::to_string(options.frames) + (options.allow.empty() ? "" : " --allow " + options.allow);
}

// One start of the game, in a process of its own.
int playSession(const Options& options) {
    const std::filesystem::path stateFile = std::filesystem::path(options.sessionFolder) / "playtest.state";
    Session session = Session::load(stateFile);
    Harness game{std::filesystem::path(options.sessionFolder)};
    Meetings meetings(game, session);
    std::mt19937_64 editing(startValueOf(session) ^ 0x5EEDull);
    editFilesByHand(game, editing, session, meetings);

    sim::World& world = game.world();
    world.cashCents = session.cashCents;
    world.language = session.language;
    // Some games run capped at an even rate: every frame lasts 20 ms, or 10 ms, exactly, so each
    // wait of the plug-in's ends on a frame boundary, where a wait a millisecond off shows a frame off.
    std::mt19937_64 clock(startValueOf(session) ^ 0x436C6F636Bull);
    if (clock() % 4 == 0) {
        world.frameStepMs = clock() % 2 == 0 ? 20 : 10;
        world.frameJitterMs = 0;
        ++session.covered["even-frames"];
    }
    Invariants invariants(game, session, splitList(options.allow));
    Player player(game, startValueOf(session), session.covered, meetings);
    auto broke = [&](const Broken& broken) {
        std::printf("run %d broke %s at frame %lld: %s\n  replay: %s\n", session.run, broken.rule.c_str(),
                    static_cast<long long>(session.frame + world.frame), broken.what.c_str(),
                    replayCommand(session, options).c_str());
        // What the plug-in last said is where a maintainer starts reading.
        const std::vector<std::string> log = game.logMessages();
        for (std::size_t i = log.size() > 6 ? log.size() - 6 : 0; i < log.size(); ++i)
            std::printf("  log: %s\n", log[i].c_str());
        return kBrokenExit;
    };

    game.start();
    try {
        while (session.frame + world.frame < options.frames) {
            // A plug-in that never started shows him nothing to play with: no run of it is green.
            if (world.frame == kStartUpFrames && !dockMarksShown(world))
                return broke(Broken{"start-up", "no dock was marked on the map " +
                                                    std::to_string(kStartUpFrames) +
                                                    " frames after the game started"});
            // The player acts once the plug-in has started up (placing his boat again comes last).
            if (tollmere::boatSpawner != nullptr && !player.act()) {
                session.frame += world.frame;
                session.cashCents = world.cashCents;
                ++session.covered["restart"];
                meetings.met("restart");
                session.statesLeft = meetings.states();
                invariants.leaving();
                session.save(stateFile);
                return kRestartExit;
            }
            invariants.beforeFrame();
            game.runFrame();
            meetings.afterFrame();
            invariants.holdingSell = player.holdingSell();
            if (auto broken = invariants.afterFrame()) return broke(*broken);
        }
    } catch (const sim::Fatal& fatal) {
        return broke(Broken{"simulated-game", fatal.what()});
    }
    session.frame += world.frame;
    session.cashCents = world.cashCents;
    session.save(stateFile);
    return 0;
}

void printCoverage(const Session& session) {
    auto count = [&session](const char* road) {
        const auto it = session.covered.find(road);
        return it == session.covered.end() ? 0 : it->second;
    };
    std::printf(
        "run %d: %lld frames, %d restarts; shop opened %d, boats bought %d, customised %d (repaired %d), "
        "claimed %d, sold %d (own %d); robberies met %d (boat taken %d; sold %d, failed %d, abandoned %d), "
        "guards killed %d; deaths %d, made unavailable %d, shop left by walking off %d, moored boat found "
        "again after a start %d; the log grew %lld bytes an hour\n",
        session.run, static_cast<long long>(session.frame), count("restart"), count("shop-opened"),
        count("boat-bought"), count("customised"), count("boat-repaired"), count("boat-claimed"),
        count("boat-sold"), count("own-boat-sold"), count("robbery-met"), count("cargo-boat-taken"),
        count("robbery-sold"), count("robbery-failed"), count("robbery-abandoned"), count("guard-killed"),
        count("died"), count("made-unavailable"), count("shop-walked-off"), count("moored-boat-placed-again"),
        static_cast<long long>(session.logBytes * 3600000 / std::max<std::int64_t>(session.playedMs, 1)));
    for (const char* road : {"shop-opened", "boat-bought", "boat-sold", "robbery-met"}) {
        if (count(road) == 0) std::printf("  not reached: %s\n", road);
    }
    for (const auto& [rule, frame] : session.knownFaults) {
        std::printf("  allowed rule %s broken, first at frame %lld\n", rule.c_str(),
                    static_cast<long long>(frame));
    }
}

// Plays one run: starts of the game one after the other, each a new process on the run's folder.
bool playRun(const std::string& program, int run, const Options& options,
             std::map<std::string, int>& covered) {
    Harness folder;  // the run's Tollmere folder; never started in this process
    const std::filesystem::path stateFile = folder.folder() / "playtest.state";
    if (std::getenv("TOLLMERE_KEEP_RUNS") != nullptr)
        std::printf("run %d plays in %s\n", run, folder.folder().c_str());
    Session session;
    session.run = run;
    // Cash at the start: from nothing to a comfortable purse.
    session.cashCents = static_cast<std::int64_t>(std::mt19937_64(static_cast<std::uint64_t>(run))() % 40000);
    session.save(stateFile);
    for (;;) {
        const std::string command = "'" + program + "' --session '" + folder.folder().string() +
                                    "' --frames " + std::to_string(options.frames) +
                                    (options.allow.empty() ? "" : " --allow '" + options.allow + "'");
        std::fflush(stdout);
        const int status = std::system(command.c_str());
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        session = Session::load(stateFile);
        if (code == kRestartExit) {
            ++session.index;
            session.save(stateFile);
            continue;
        }
        if (code != 0) {
            if (code != kBrokenExit) {
                std::printf("run %d: the game's process ended with status %d\n  replay: %s\n", run, status,
                            replayCommand(session, options).c_str());
            }
            return false;
        }
        printCoverage(session);
        for (const auto& [road, count] : session.covered)
            covered[road] += count;
        return true;
    }
}

bool knownRules(const std::string& list) {
    static const std::set<std::string> kRules = {
        "money-negative",   "money-unshown", "money-gain",     "record-loads",   "record-paid",
        "record-moored",    "frame-error",   "idle-prompt",    "stolen-sale",    "log-growth",
        "frame-allocation", "boat-kept",     "boat-destroyed", "boat-blip",      "anchor-state",
        "leftovers",        "tutorial-once", "log-kept",       "sold-boat-left", "robbery",
        "tutorial-shown",   "shop-screen",   "shop-camera",    "screen-feed",    "service-done",
        "tutorial-comeback", "suspended-prompt", "dock-offer", "money-owed", "shop-keys", "tutorial-due", "dock-marks", "boat-placed", "record-copy", "boat-new"};
    for (const std::string& rule : splitList(list)) {
        if (!kRules.contains(rule)) return false;
    }
    return true;
}

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            std::printf("%s", kUsage);
            std::exit(0);
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "playtest: %s needs a value\n%s", option.c_str(), kUsage);
            return false;
        }
        const std::string value = argv[++i];
        char* end = nullptr;
        const long number = std::strtol(value.c_str(), &end, 10);
        const bool isNumber = !value.empty() && *end == '\0' && number >= 0;
        if (option == "--runs" && isNumber)
            options.runs = static_cast<int>(number);
        else if (option == "--frames" && isNumber)
            options.frames = number;
        else if (option == "--from" && isNumber)
            options.from = static_cast<int>(number);
        else if (option == "--allow" && knownRules(value))
            options.allow = value;
        else if (option == "--covered-to")
            options.coveredTo = value;
        else if (option == "--check-coverage")
            options.checkCoverage = value;
        else if (option == "--session")
            options.sessionFolder = value;
        else {
            std::fprintf(stderr, "playtest: unknown option or bad value: %s %s\n%s", option.c_str(),
                         value.c_str(), kUsage);
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) return 2;
    if (!options.sessionFolder.empty()) return playSession(options);
    if (!options.checkCoverage.empty()) return checkCoverage(splitList(options.checkCoverage));
    if (!options.coveredTo.empty()) std::filesystem::remove(options.coveredTo);
    const std::string program = std::filesystem::absolute(argv[0]).string();
    int failed = 0;
    std::map<std::string, int> covered;
    for (int run = options.from; run < options.from + options.runs; ++run) {
        if (!playRun(program, run, options, covered)) ++failed;
    }
    if (failed == 0 && !options.coveredTo.empty()) writeCoverage(options.coveredTo, covered);
    Meetings::print(covered);
    std::printf("playtest: %d of %d runs passed\n", options.runs - failed, options.runs);
    return failed == 0 ? 0 : 1;
}
