// Plays Tollmere in the simulated game and prints what the player sees: the prompts in view, the
// shop panel row by row, money changes, help texts, and at the end the log. A new player browses
// the boats at Lagras, another script's scene closes the shop, he opens it again, buys a rowboat,
// fits it out, rows away, drops and lifts the anchor and moors at Lagras again; then the game is
// started a second time and the boat is back where he left it. With --pictures the moments it
// narrates are also saved as SVG pictures of the screen and of the map.

#include "Neighbour.h"
#include "Pictures.h"
#include "data/Layers.h"
#include "support/Harness.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using tollmere::testing::Harness;

const sim::Vec3 kLagrasPier{2181.28f, -618.158f, 41.9048f};
constexpr std::uint32_t kSelect = 0xC7B5340A;
constexpr std::uint32_t kDown = 0x05CA7C52;
constexpr std::uint32_t kUp = 0x6319DB71;
constexpr std::uint32_t kIncrease = 0xDEB34313;

void say(const std::string& text) { std::printf("%s\n", text.c_str()); }

// Where --pictures saves the moments the demo narrates; empty when no pictures are asked for.
std::filesystem::path picturesFolder;
// The game's language, as --language sets it.
std::string language = tollmere::kEnglish;

// Saves the picture under its moment's number and name and says where.
void savePicture(int number, const char* name, const std::string& svg) {
    if (picturesFolder.empty()) return;
    char file[64];
    std::snprintf(file, sizeof file, "%02d-%s.svg", number, name);
    const std::filesystem::path path = picturesFolder / file;
    std::ofstream(path, std::ios::binary) << svg;
    say("  [picture] " + path.string());
}
void pictureOfScreen(const sim::World& world, int number, const char* name, const char* caption) {
    savePicture(number, name, tollmere::pictures::renderScreen(world, caption));
}

std::string point(const sim::Vec3& p) {
    char text[64];
    std::snprintf(text, sizeof text, "(%.2f, %.2f, %.2f)", p.x, p.y, p.z);
    return text;
}

// What appeared on screen since the last look: help texts, notices, money toasts, and the prompts
// in view whenever they change.
class Screen {
public:
    explicit Screen(const sim::World& world) : world_(world) {}

    void showNew() {
        for (; help_ < world_.helpTexts.size(); ++help_) say("  [help text] " + world_.helpTexts[help_].text);
        for (; notices_ < world_.notices.size(); ++notices_) say("  [notice] " + world_.notices[notices_]);
        for (; toasts_ < world_.moneyToasts.size(); ++toasts_) {
            const sim::MoneyToast& toast = world_.moneyToasts[toasts_];
            say(std::string("  [money] ") + (toast.colour == 0x067FA8F3u ? "+" : "-") + toast.amountText);
        }
        std::string prompts;
        for (const sim::GamePrompt* prompt : world_.prompts.visible()) {
            prompts += (prompts.empty() ? "" : " | ") + prompt->text +
                       (world_.prompts.isEnabled(prompt->handle) ? "" : " (greyed)");
        }
        if (prompts != prompts_) {
            say("  [prompts] " + (prompts.empty() ? std::string("none") : prompts));
            prompts_ = prompts;
        }
    }

    // The shop panel as drawn this frame, one line per row of texts, with the selection frame,
    // ticks, dimmed rows and star counts.
    void showPanel() const {
        struct Line {
            float y;
            std::string text;
            std::string marks;
        };
        std::vector<Line> lines;
        auto nearest = [&lines](float y, float within) -> Line* {
            Line* best = nullptr;
            for (Line& line : lines) {
                if (std::fabs(line.y - y) < within && (best == nullptr || std::fabs(line.y - y) < std::fabs(best->y - y))) {
                    best = &line;
                }
            }
            return best;
        };
        const sim::FrameDraws& frame = world_.screen.thisFrame();
        for (const sim::Draw& draw : frame.draws) {
            if (const auto* text = std::get_if<sim::DrawnText>(&draw)) {
                if (Line* line = nearest(text->y, 0.004f); line != nullptr) {
                    line->text += (text->scaleX < 0.33f ? "." : "  ") + text->text;  // small text: the cents
                } else {
                    lines.push_back(Line{text->y, text->text + (text->colour.a == 100 ? " (dimmed)" : ""), ""});
                }
            }
        }
        for (const sim::Draw& draw : frame.draws) {
            const auto* sprite = std::get_if<sim::DrawnSprite>(&draw);
            if (sprite == nullptr) continue;
            const float top = sprite->centreY - sprite->height * 0.5f;
            const char* mark = sprite->texture == "crafting_highlight_t" ? "  <selected>"
                               : sprite->texture == "menu_icon_tick"     ? "  [owned]"
                               : sprite->texture == "star"               ? "*"
                               : sprite->texture == "star_outline"       ? "."
                                                                         : nullptr;
            if (mark == nullptr) continue;
            if (Line* line = nearest(sprite->texture == "crafting_highlight_t" ? top + 0.013f : sprite->centreY - 0.011f,
                                     0.02f);
                line != nullptr) {
                line->marks += (line->marks.empty() && mark[0] != ' ' ? "   " : "") + std::string(mark);
            }
        }
        std::sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) { return a.y < b.y; });
        say("  +--------------------------------------------");
        for (const Line& line : lines) say("  | " + line.text + line.marks);
        say("  +--------------------------------------------");
    }

private:
    const sim::World& world_;
    std::size_t help_ = 0;
    std::size_t notices_ = 0;
    std::size_t toasts_ = 0;
    std::string prompts_;
};

class Journey {
public:
    explicit Journey(Harness& game) : game_(game), world_(game.world()), screen_(world_) {}

    void start() {
        for (std::int32_t number = 0; tollmere::languageOfGame(number) != nullptr; ++number) {
            if (language == tollmere::languageOfGame(number)) world_.language = number;
        }
        // The texts he reads are found the way the plug-in lays its files, so the journey waits for
        // the prompts of his language.
        const std::filesystem::path folder = game_.folder() / "Tollmere";
        texts_ = tollmere::readLayer((folder / "Lang.dat").string(), "Lang.dat").entries;
        for (const std::string& name : tollmere::layerNames("Lang.dat", language.c_str())) {
            for (const auto& [key, entry] : tollmere::readLayer((folder / name).string(), name).entries) {
                if (!entry.value.empty()) texts_[key] = entry;
            }
        }
        game_.start();
        game_.runFor(500);
        run(600, [&] { return !game_.host().callsTo("displayHud").empty(); });
        run(1);
    }

    // Runs frames, printing what changes on screen, until done() holds; the frames it took or -1.
    int run(int frames, const std::function<bool()>& done = [] { return false; }) {
        for (int frame = 1; frame <= frames; ++frame) {
            game_.runFrame();
            screen_.showNew();
            if (done()) return frame;
        }
        return -1;
    }
    void press(std::uint32_t control) {
        world_.input.press(control);
        run(2);
    }
    void press(const char* control) { press(sim::hashOf(control)); }
    bool promptShows(const std::string& text) {
        const sim::GamePrompt* prompt = world_.prompts.withText(text);
        return prompt != nullptr && world_.prompts.isVisible(prompt->handle);
    }
    bool panelOpen() const { return world_.screen.thisFrame().findText(text("catalog.title")) != nullptr; }
    std::string text(const std::string& key) const {
        const auto found = texts_.find(key);
        return found == texts_.end() ? std::string() : found->second.value;
    }

    Harness& game_;
    sim::World& world_;
    Screen screen_;
    std::map<std::string, tollmere::LayerEntry, std::less<>> texts_;
};

void printFile(Harness& game, const char* name) {
    say(std::string("\n-- Tollmere/") + name);
    std::printf("%s", game.readFile(name).c_str());
}

// Another script's scene while the shop is open: the shop gives the screen way, the scene plays,
// and once it has given the screen back he opens the shop again from the dock menu.
bool sceneInShop(Journey& play) {
    Harness& game = play.game_;
    sim::World& world = play.world_;
    say("\n-- Another script's scene begins: the screen fades out, the HUD goes and his control is taken.");
    sim::Neighbour& neighbour = sim::Neighbour::start(game.host());
    neighbour.playScene(2000);
    const int logFrom = static_cast<int>(game.logMessages().size());
    play.run(120, [&] { return !play.panelOpen(); });
    if (play.panelOpen()) {
        say("  the shop stays open over the scene: see the log");
        printFile(game, "Log.log");
        return false;
    }
    say("  the shop closes");
    const std::vector<std::string> log = game.logMessages();
    for (std::size_t i = static_cast<std::size_t>(logFrom); i < log.size(); ++i) {
        if (log[i].starts_with("the shop ")) say("  [log] " + log[i]);
    }
    play.run(120, [&] { return world.screenDark(); });
    say(std::string("  the scene plays: the screen is ") + (world.screenDark() ? "dark" : "lit") +
        ", the HUD " + (world.hudHidden ? "hidden" : "shown") + ", his control " +
        (world.player.control ? "on" : "off"));
    play.run(600, [&] { return neighbour.scenesPlayed() == 1; });
    play.run(40, [&] { return !world.screenFading(); });
    if (neighbour.scenesPlayed() != 1 || !world.player.control) {
        say("  the scene did not end, or his control is not back: see the log");
        printFile(game, "Log.log");
        return false;
    }
    say("-- The scene ends: the screen fades in, his control is back.");

    say("\n-- He holds INPUT_CONTEXT_Y again for the dock menu and presses it to browse.");
    world.input.hold("INPUT_CONTEXT_Y", 60);
    play.run(60, [&] { return play.promptShows(play.text("prompts.close")); });
    world.input.release("INPUT_CONTEXT_Y");
    play.run(2);
    world.input.press("INPUT_CONTEXT_Y");
    const bool open = play.run(200, [&] { return play.panelOpen(); }) > 0;
    play.run(1);
    if (!open) {
        say("  the shop did not open again: see the log");
        printFile(game, "Log.log");
        return false;
    }
    play.screen_.showPanel();
    return true;
}

int firstRun(const char* program) {
    Harness game;
    Journey play(game);
    sim::World& world = game.world();
    world.cashCents = 20000;
    say("Tollmere in the simulated game (working folder " + game.folder().string() + ")");
    say("A new player with $200.00 and no boat.");

    play.start();
    int docks = 0;
    for (const auto& [handle, blip] : world.blips) docks += blip.entity == 0 ? 1 : 0;
    say("\n-- The game has started (frame " + std::to_string(world.frame) + "): " + std::to_string(docks) +
        " docks stand on the map, named \"" + world.blips.begin()->second.name + "\".");

    say("\n-- He walks onto the pier at Lagras.");
    world.playerPed().position = kLagrasPier;
    play.run(3);
    say("-- He holds INPUT_CONTEXT_Y.");
    world.input.hold("INPUT_CONTEXT_Y", 20);
    play.run(20, [&] { return play.promptShows(play.text("prompts.close")); });
    world.input.release("INPUT_CONTEXT_Y");
    play.run(2);
    pictureOfScreen(world, 1, "dock-menu", "The dock menu at Lagras");

    say("\n-- He presses INPUT_CONTEXT_Y to browse: the screen fades, the camera turns to the water.");
    world.input.press("INPUT_CONTEXT_Y");
    play.run(200, [&] { return play.panelOpen(); });
    play.run(1);
    const sim::Camera* camera = world.cameras.viewing();
    if (camera != nullptr) say("  the scripted camera stands at " + point(camera->position));
    play.screen_.showPanel();

    say("\n-- He moves the selection down and back up: the preview boat at the mooring changes with it.");
    play.press(kDown);
    say("  preview in the water: model 0x" + [&] {
        char text[16];
        std::snprintf(text, sizeof text, "%08X", world.vehicles().empty() ? 0u : world.vehicles().front()->model);
        return std::string(text);
    }());
    play.press(kUp);
    pictureOfScreen(world, 2, "catalogue", "The boat catalogue");

    if (!sceneInShop(play)) return 1;

    say("\n-- He buys the rowboat.");
    play.press(kSelect);
    play.run(1);
    play.screen_.showPanel();

    say("\n-- He steps down to the fittings, cycles to the first set and buys it.");
    play.press(kDown);
    play.press(kDown);
    play.press(kIncrease);
    play.press(kSelect);
    play.run(1);
    play.screen_.showPanel();
    pictureOfScreen(world, 3, "customise", "Customise mode after buying the fittings");

    say("\n-- He presses back: the screen fades and the dock menu returns.");
    world.input.press("INPUT_CONTEXT_B");
    play.run(100, [&] { return play.promptShows(play.text("prompts.close")); });

    if (world.vehicles().empty()) {
        say("  no boat is in the water: see the log");
        printFile(game, "Log.log");
        return 1;
    }
    sim::Entity& boat = *world.entity(world.vehicles().front()->handle);
    say("\n-- He climbs into his boat and rows away, 2 m a frame.");
    world.putPlayerInVehicle(boat.handle);
    const sim::Vec3 mooring = boat.position;
    for (int stroke = 1; stroke <= 30; ++stroke) {
        world.moveVehicle(boat.handle, sim::Vec3{mooring.x + 2.0f * static_cast<float>(stroke), mooring.y, mooring.z});
        play.run(1);
        if (game.findLog("player has left dock: 2") >= 0) {
            say("  " + std::to_string(2 * stroke) + " m out the boat has left the dock");
            break;
        }
    }

    say("\n-- Out on the river he stops and keeps the anchor control (INPUT_CONTEXT_X) held.");
    boat.speedSetByTest = 0.0f;
    world.input.hold("INPUT_CONTEXT_X", 120);
    // The picture shows the hold a third of the way round.
    int held = play.run(120, [&] { return play.promptShows(play.text("prompts.drop_anchor")); }) + 10;
    play.run(10);
    pictureOfScreen(world, 4, "anchor-prompt", "Holding the anchor prompt");
    const int rest = play.run(120 - held, [&] { return boat.anchored; });
    const int dropped = rest > 0 ? held + rest : -1;
    say(dropped > 0 ? "  after " + std::to_string(dropped) + " frames held the anchor is down" : "  no anchor");
    world.input.release("INPUT_CONTEXT_X");
    play.run(3);
    say("-- He holds it again to lift the anchor.");
    world.input.hold("INPUT_CONTEXT_X", 90);
    const int lifted = play.run(90, [&] { return !boat.anchored; });
    say(lifted > 0 ? "  after " + std::to_string(lifted) + " frames held the anchor is up" : "  still anchored");
    world.input.release("INPUT_CONTEXT_X");
    play.run(3);

    say("\n-- He rows back to the Lagras mooring, slowly, and holds INPUT_CONTEXT_X to dock.");
    boat.speedSetByTest = 0.5f;
    world.moveVehicle(boat.handle, mooring);
    play.run(3);
    world.input.hold("INPUT_CONTEXT_X", 60);
    play.run(60, [&] { return game.readFile("PlayerBoat.dat").find("dock_id=2\n") != std::string::npos; });
    world.input.release("INPUT_CONTEXT_X");
    play.run(3);
    say(std::string("  cash left: $") + std::to_string(world.cashCents / 100) + "." +
        (world.cashCents % 100 < 10 ? "0" : "") + std::to_string(world.cashCents % 100));
    printFile(game, "PlayerBoat.dat");
    printFile(game, "Log.log");

    say("\n================ The game is started again ================");
    std::fflush(stdout);
    std::string again = std::string("\"") + program + "\" --again \"" + game.folder().string() + "\"";
    if (!picturesFolder.empty()) again += " --pictures \"" + picturesFolder.string() + "\"";
    again += " --language " + language;
    return std::system(again.c_str()) == 0 ? 0 : 1;
}

// The river robbery: published 350 m away, spawned when he comes within 300 m, the cargo boat
// taken, the crew left behind (the alarm raised), and the boat sold at Annesburg all the same.
void playRobbery(Journey& play) {
    Harness& game = play.game_;
    sim::World& world = play.world_;
    const sim::Vec3 point43{2951.23f, 1200.03f, 40.5784f};
    const sim::Vec3 annesburg{3030.36f, 1365.81f, 40.6063f};

    say("\n-- He walks north along the river, 350 m from a bend where a cargo boat may wait.");
    world.playerPed().position = sim::Vec3{point43.x, point43.y + 350.0f, point43.z};
    const int published = play.run(700, [&] {
        for (const std::string& line : game.logMessages()) {
            if (line.starts_with("CargoBoatsManager: starting event")) return true;
        }
        return false;
    });
    if (published < 0) {
        say("  no robbery was published");
        return;
    }
    for (const std::string& line : game.logMessages()) {
        if (line.starts_with("CargoBoatsManager: starting event")) {
            say("  after " + std::to_string(published * world.frameStepMs / 1000) + " s: " + line);
        }
    }
    play.run(30);
    say("  in the water: " + std::to_string(world.vehicles().size()) + " boat (his own, at Lagras)");

    say("\n-- He comes within 300 m.");
    world.playerPed().position = sim::Vec3{point43.x, point43.y + 250.0f, point43.z};
    play.run(120, [&] { return world.vehicles().size() >= 3; });
    play.run(5);
    const sim::Entity* cargo = nullptr;
    const sim::Entity* escort = nullptr;
    int guards = 0;
    for (const auto& [handle, entity] : world.entities) {
        if (entity.kind == sim::EntityKind::ped && handle != world.player.ped) ++guards;
        if (entity.kind != sim::EntityKind::vehicle || entity.decorators.contains("QY_RB_isPlayerBoat")) continue;
        (entity.decorators.contains("QY_RB_boatValue") ? cargo : escort) = &entity;
    }
    if (cargo == nullptr || escort == nullptr) {
        say("  the robbery did not spawn");
        return;
    }
    savePicture(5, "robbery-map", tollmere::pictures::renderMap(world, "The river robbery", 300.0f));
    say("  a cargo rowboat at " + point(cargo->position) + ", stored value $" +
        std::to_string(cargo->decorators.at("QY_RB_boatValue")) + ", an escort boat at " + point(escort->position) +
        ", " + std::to_string(guards) + " guards");

    say("\n-- He swims up to the cargo boat and climbs aboard.");
    world.playerPed().position = cargo->position;
    play.run(2);
    world.putPlayerInVehicle(cargo->handle);
    play.run(2);
    int fighting = 0;
    for (const auto& [handle, entity] : world.entities) {
        const sim::Task* task = entity.currentTask();
        fighting += task != nullptr && task->kind == sim::TaskKind::combatPed ? 1 : 0;
    }
    say("  " + std::to_string(fighting) + " guards turn on him");

    auto docksClosed = [&] {
        return std::all_of(world.blips.begin(), world.blips.end(), [](const auto& entry) {
            return entry.second.entity != 0 || entry.second.modifiers.contains(0x2B30E11Fu);
        });
    };
    say("\n-- He rows 250 m downstream, leaving the escort behind: the guards raise the alarm.");
    world.moveVehicle(cargo->handle, sim::Vec3{cargo->position.x, cargo->position.y - 250.0f, cargo->position.z});
    play.run(3);
    const float behind = sim::distance(world.positionOf(escort->handle), world.positionOf(cargo->handle));
    say("  the escort is " + std::to_string(static_cast<int>(behind)) + " m behind; the docks are " +
        (docksClosed() ? "closed to him" : "open"));

    say("\n-- He rows on to Annesburg, the escort far behind, stops at the pier and holds INPUT_CONTEXT_B.");
    world.moveVehicle(cargo->handle, annesburg);
    world.moveVehicle(escort->handle, sim::Vec3{annesburg.x, annesburg.y - 300.0f, annesburg.z});
    world.entity(cargo->handle)->speedSetByTest = 0.0f;
    play.run(3);
    const std::int64_t cash = world.cashCents;
    world.input.hold("INPUT_CONTEXT_B", 45);
    play.run(45, [&] { return game.findLog("event terminated") >= 0; });
    world.input.release("INPUT_CONTEXT_B");
    play.run(3);
    pictureOfScreen(world, 6, "sale", "The cargo boat sold at Annesburg");
    say("  he is paid $" + std::to_string((world.cashCents - cash) / 100) + " and steps onto the pier" +
        (world.playerPed().vehicle == 0 ? "" : " (still aboard?)"));
}

int secondRun(const char* folder) {
    Harness game{std::filesystem::path(folder)};
    Journey play(game);
    sim::World& world = game.world();
    const auto logLines = game.logMessages().size();
    // A robbery is attempted every 14.4 s with the chance Settings.ini gives; the demo makes it certain.
    game.writeFile("Settings.ini", "EnableBoatRobberies=1\nRandomBoatRobberyEventsFrequency=1\n");
    play.start();
    if (world.vehicles().empty()) {
        say("  his boat did not come back: see the log");
        return 1;
    }
    const sim::Entity& boat = *world.vehicles().front();
    const sim::Blip* blip = world.blipOn(boat.handle);
    say("  his boat floats at " + point(boat.position) + (boat.anchored ? ", anchored" : ", adrift") +
        ", with the fittings " + (boat.propSet != 0 ? "on" : "off") + "; its map blip reads \"" +
        (blip != nullptr ? blip->name : std::string("(none)")) + "\"");
    playRobbery(play);

    say("\n-- Tollmere/Log.log, this run");
    const auto messages = game.logMessages();
    for (std::size_t i = logLines; i < messages.size(); ++i) say("  " + messages[i]);
    return 0;
}

void printUsage() {
    std::printf(
        "Usage: tollmere_demo [--pictures DIR] [--language CODE]\n"
        "\n"
        "Plays Tollmere in the simulated game and prints what the player sees: a new player browses\n"
        "the boats at Lagras, another script's scene closes the shop, he opens it again, buys and fits\n"
        "out a rowboat, rows out, drops and lifts the anchor and moors again; then the game starts a\n"
        "second time and a river robbery is played to its sale.\n"
        "\n"
        "Options:\n"
        "  --pictures DIR  also save the narrated moments as numbered SVG pictures in DIR (made if\n"
        "                  missing): 01-dock-menu, 02-catalogue, 03-customise, 04-anchor-prompt,\n"
        "                  05-robbery-map and 06-sale\n"
        "  --language CODE the game's language (fr-FR, pl-PL, ...): the journey in that language's\n"
        "                  texts, as Tollmere/Lang.<code>.dat gives them (English without it)\n"
        "  -h, --help      show this help and exit\n");
}

}  // namespace

int main(int argc, char** argv) {
    std::string again;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            printUsage();
            return 0;
        }
        if (argument == "--language" && i + 1 < argc && tollmere::knownLanguage(argv[i + 1]) != nullptr) {
            language = tollmere::knownLanguage(argv[++i]);
            continue;
        }
        if ((argument == "--pictures" || argument == "--again") && i + 1 < argc) {
            if (argument == "--again") {
                again = argv[++i];
            } else {
                picturesFolder = argv[++i];
            }
            continue;
        }
        std::fprintf(stderr, "tollmere_demo: %s %s (try --help)\n",
                     argument == "--pictures"   ? "missing folder after"
                     : argument == "--language" ? "no language code the game reports after"
                                                : "unknown option",
                     argument.c_str());
        return 2;
    }
    if (!picturesFolder.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(picturesFolder, ignored);
        // The second run works in the game's folder, so it needs the full path.
        picturesFolder = std::filesystem::absolute(picturesFolder);
    }
    // The second run: the game started again in the first run's folder (an internal option).
    if (!again.empty()) return secondRun(again.c_str());
    // The second run starts from the working folder, so it needs the program's full path.
    return firstRun(std::filesystem::absolute(argv[0]).c_str());
}
