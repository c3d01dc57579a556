#include "Player.h"

#include "Model.h"

#include "docks/DocksRegistry.h"
#include "host/BoatTypes.h"
#include "runtime/Globals.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace tollmere::playtest {

namespace {

// The catalogue's controls, as the menu reads them.
constexpr std::uint32_t kSelect = 0xC7B5340A;
constexpr std::uint32_t kDown = 0x05CA7C52;
constexpr std::uint32_t kUp = 0x6319DB71;
constexpr std::uint32_t kIncrease = 0xDEB34313;
constexpr std::uint32_t kDecrease = 0xA65EBAB4;

constexpr float kWalkPerFrame = 0.15f;  // about 4.5 m/s
constexpr float kRowPerFrame = 1.5f;
// The dock menu's fades after the catalogue last well under three seconds.
constexpr int kShopFadeFrames = 90;
constexpr int kAimPauseFrames = 1200;

sim::Vec3 toSim(const Vec3& p) {
    return sim::Vec3{p.x, p.y, p.z};
}

sim::Vec3 stepTowards(const sim::Vec3& from, const sim::Vec3& to, float step) {
    const float d = sim::distance(from, to);
    if (d <= step) return to;
    const float f = step / d;
    return sim::Vec3{from.x + (to.x - from.x) * f, from.y + (to.y - from.y) * f,
                     from.z + (to.z - from.z) * f};
}

}  // namespace

Player::Player(testing::Harness& game, std::uint64_t startValue, std::map<std::string, int>& covered,
               Meetings& meetings)
    : game_(game),
      world_(game.world()),
      random_(startValue),
      covered_(covered),
      logAtStart_(game.logMessages().size()),
      neighbourRandom_(startValue ^ 0x4E6569676862ull),
      resellRandom_(startValue ^ 0x526573656C6Cull),
      paintsRandom_(startValue ^ 0x5061696E7473ull),
      sceneRandom_(startValue ^ 0x5363656E65ull),
      lanternsRandom_(startValue ^ 0x4C616E7465726Eull),
      previewRandom_(startValue ^ 0x50726576696577ull),
      cashRandom_(startValue ^ 0x436173684261636Bull),
      fadeMenuRandom_(startValue ^ 0x466164654D656E75ull),
      guardGoneRandom_(startValue ^ 0x47756172644Full),
      claimsRandom_(startValue ^ 0x436C61696D73ull),
      removalRandom_(startValue ^ 0x52656D6F7665ull),
      aimRandom_(startValue ^ 0x41696Dull),
      meetings_(meetings) {
    // Most starts of the game last a few thousand frames; some last a long time.
    framesToRestart_ = chance(20) ? 200000 : 3000 + below(15000);
}

bool Player::act() {
    // He does not quit in the middle of the shop or the dock menu's fades, nor while the plug-in
    // holds his controls: what he asked for there is not done until it hands them back.
    if (catalogueOpen() || world_.fade.out || !world_.player.control) shopFrames_ = 0;
    if (--framesToRestart_ <= 0 && ++shopFrames_ > kShopFadeFrames) return false;
    neighbourActs();
    if (neighbourHoldsHim()) return true;
    interruptions();
    if (interruptedFrames_ > 0) return true;
    if (plan_.empty()) pickErrand();
    if (plan_.front()()) plan_.pop_front();
    return true;
}

bool Player::holdingSell() const {
    return world_.input.isDown("INPUT_CONTEXT_B");
}

void Player::interruptions() {
    sim::Player& player = world_.player;
    if (interruptedFrames_ > 0) {
        if (--interruptedFrames_ == 0) player.unavailable = player.scriptedActivity = false;
        return;
    }
    // The game takes the player away for a while: a cutscene, being grabbed, an activity. In the
    // shop this happens far more often, to play the roads where a shop is closed from outside.
    if (below(catalogueOpen() ? 150 : 3000) == 0 || aimAt({"game-scene"})) {
        interruptedFrames_ = 5 + below(120);
        (chance(50) ? player.unavailable : player.scriptedActivity) = true;
        ++covered_["made-unavailable"];
        meetings_.met("game-scene");
        return;
    }
    // The game clears every script's entities at once: a load, a mission's clean-up, a purge. It
    // meets whatever he is doing, his own boat and the shop's preview included.
    if (aimRandom_() % 30000 == 0 || aimAt({"entities-cleared"})) {
        meetings_.met("entities-cleared");
        world_.clearScriptEntities();
    }
    // Cash runs low: spent elsewhere in the game.
    if (below(4000) == 0) world_.cashCents /= 4;
    // In the shop, all of it goes for a while (every row is then out of reach), and comes back: a
    // reward paid elsewhere. The rows he can pay for again must be his to choose.
    if (catalogueOpen() && cashAway_ == 0 && cashRandom_() % 900 == 0 && world_.cashCents > 0) {
        cashAway_ = world_.cashCents;
        world_.cashCents = 0;
        ++covered_["cash-gone-in-shop"];
    } else if (cashAway_ > 0 && cashRandom_() % 60 == 0) {
        world_.cashCents += cashAway_;
        cashAway_ = 0;
    } else if (cashAway_ == 0 && cashRandom_() % 200 == 0) {
        // Now and then he has exactly the price of something on screen: a row of the shop, else a
        // fee on a prompt. Whether he can pay is then decided by the last cent.
        std::vector<std::int64_t> prices;
        for (const ShownRow& row : Model::readCatalogue(world_.screen.thisFrame()))
            if (row.priceCents && *row.priceCents > 0) prices.push_back(*row.priceCents);
        const bool inShop = !prices.empty();
        for (const sim::GamePrompt* prompt : world_.prompts.visible()) {
            const auto amount = Model::amountIn(prompt->text);
            if (!inShop && amount && *amount > 0) prices.push_back(*amount);
        }
        if (!prices.empty()) {
            world_.cashCents = prices[cashRandom_() % prices.size()];
            ++covered_[inShop ? "cash-exact-in-shop" : "cash-exact"];
        }
    }
}

// Another script plays its scenes and photo mode, and the game opens its menus, at moments of
// their own choosing: in the shop far more often, to play the roads where it is taken from the
// plug-in. The world fails the run on any script changing what another holds.
void Player::neighbourActs() {
    if (neighbour_ == nullptr) neighbour_ = &sim::Neighbour::start(game_.host());
    // Now and then another script deletes his boat, or the game clears every script's entities.
    if (removalRandom_() % 15000 == 0) {
        const std::uint32_t boat = ownBoat();
        if (removalRandom_() % 2 == 0 && boat != 0) {
            neighbour_->deleteVehicle(boat);
        } else {
            world_.clearScriptEntities();
            meetings_.met("entities-cleared");
        }
        ++covered_[boat != 0 ? "boat-removed" : "entities-cleared"];
    }
    if (!neighbour_->idle()) {
        if (std::string_view(neighbour_->doing()) != "scene" && photoModeFrames_ > 0 &&
            --photoModeFrames_ == 0) {
            neighbour_->endPhotoMode();
        }
        return;
    }
    const auto draw = [this](int n) {
        return static_cast<int>(neighbourRandom_() % static_cast<std::uint64_t>(n));
    };
    // The game's menus open whenever he asks for them, the shop's own fades and waits included.
    const auto fade = world_.shared.held.find({sim::World::SharedState::fade, 0});
    const bool shopFading = fade != world_.shared.held.end() && fade->second.holder == sim::Host::kPluginName;
    if (shopFading && fadeMenuRandom_() % 500 == 0) {
        const int ms = 300 + static_cast<int>(fadeMenuRandom_() % 4000);
        const bool pause = fadeMenuRandom_() % 2 == 0;
        meetings_.met(pause ? "pause-menu" : "map");
        pause ? neighbour_->openPauseMenu(ms) : neighbour_->openMap(ms);
        ++covered_["menu-in-shop-fade"];
        return;
    }
    const bool inShop = catalogueOpen();
    static constexpr const char* kActs[] = {"scene", "photo-mode", "pause-menu", "map"};
    int act = -1;
    if (const auto unmet = meetings_.unmet({"scene", "photo-mode", "pause-menu", "map"});
        unmet && aimAt(*unmet))
        act = static_cast<int>(std::ranges::find(kActs, std::string_view(unmet->event)) - std::begin(kActs));
    if (act < 0 && draw(inShop ? 150 : 8000) != 0) return;
    if (inShop) ++covered_["neighbour-in-shop"];
    if (act < 0) act = draw(4);
    meetings_.met(kActs[act]);
    switch (act) {
        case 0:
            neighbour_->playScene(500 + draw(2500));
            ++covered_["neighbour-scene"];
            break;
        case 1:
            neighbour_->startPhotoMode();
            photoModeFrames_ = 20 + draw(200);
            ++covered_["neighbour-photo-mode"];
            break;
        case 2:
            neighbour_->openPauseMenu(300 + draw(4000));
            ++covered_["game-menu"];
            break;
        default:
            neighbour_->openMap(300 + draw(4000));
            ++covered_["game-menu"];
            break;
    }
}

bool Player::neighbourHoldsHim() const {
    return neighbour_ != nullptr && !neighbour_->idle() && std::string_view(neighbour_->doing()) != "waiting";
}

void Player::pickErrand() {
    // Where he is now has not met death or a new start of the game in this run: now and then, it does.
    if (meetings_.unmet({"death"}) && aim(4)) return die();
    if (meetings_.unmet({"restart"}) && aim(8)) framesToRestart_ = std::min(framesToRestart_, 1);
    // Errands by weight, out of 100.
    const int roll = below(100);
    if (roll < 12) {
        walkAbout();
    } else if (roll < 40) {
        shopAtDock();
    } else if (roll < 50) {
        fetchBoat();
    } else if (roll < 65) {
        rowOwnBoat();
    } else if (roll < 75) {
        takeStrangersBoat();
    } else if (roll < 97) {
        goAfterRobbery();
    } else {
        die();
    }
    if (plan_.empty()) wait(1);
}

// --- Errands --------------------------------------------------------------------------------------

void Player::walkAbout() {
    leaveBoat();
    const sim::Vec3 pier = pierOf(chance(50) ? nearestDock() : randomDock());
    travelNear(pier, 40.0f);
    walkTo(sim::Vec3{pier.x + static_cast<float>(below(60) - 30), pier.y + static_cast<float>(below(60) - 30),
                     pier.z});
    wait(below(200));
}

void Player::shopAtDock() {
    leaveBoat();
    const int dock = chance(60) && ownBoat() != 0 ? nearestDock() : randomDock();
    travelNear(pierOf(dock), 20.0f);
    walkTo(pierOf(dock));
    // The manage prompt is a hold: sometimes he lets go too soon.
    hold("INPUT_CONTEXT_Y", chance(80) ? 20 + below(20) : 2 + below(10));
    wait(2 + below(5));
    // Now and then another script's scene begins just as he asks for the shop (his control his own
    // when he does): the shop has to wait for the screen, and he may walk off meanwhile.
    if (sceneRandom_() % 8 == 0) {
        then([this] {
            if (neighbour_ != nullptr && neighbour_->idle()) {
                meetings_.met("scene");
                neighbour_->playScene(300);
            }
            return true;
        });
        then([this, frames = 0]() mutable { return world_.player.control || ++frames > 600; });
        press(sim::hashOf("INPUT_CONTEXT_Y"));  // browse or customise, then perhaps walks off
        ++covered_["scene-in-dock-menu"];
    }
    const int roll = below(100);
    if (roll < 70) {
        press(sim::hashOf("INPUT_CONTEXT_Y"));  // browse or customise
        browseCatalogue();
    } else if (roll < 80) {
        closeOrBack();
    } else if (roll < 90) {
        then([this] {
            meetings_.met("walk-off");
            return true;
        });
        walkTo(sim::Vec3{pierOf(dock).x + 6.0f, pierOf(dock).y, pierOf(dock).z});  // walks off
    } else {
        useRandomControls(3);
    }
}

void Player::browseCatalogue() {
    then([this, frames = 0]() mutable { return catalogueOpen() || ++frames > 120; });
    if (chance(25)) {
        // Fittings, two rows below the first he can buy: fitted, and now and then taken off again.
        // Now and then he tries another paint on the way down, and buys the fittings with the paint
        // only tried: the boat must go on wearing it. Drawn apart as well.
        const bool tryPaint = previewRandom_() % 2 == 0;
        if (tryPaint) ++covered_["paint-tried-on-the-way"];
        for (std::uint32_t control : {kDown, tryPaint ? kIncrease : 0u, kDown, kIncrease, kSelect}) {
            if (control == 0) continue;
            press(control);
            wait(2);
        }
        if (chance(40)) {
            press(kDecrease);
            wait(2);
            press(kSelect);
            wait(2);
        }
        // Lanterns, the row below, drawn apart as well.
        if (lanternsRandom_() % 3 == 0) {
            for (std::uint32_t control : {kDown, kIncrease, kSelect}) {
                press(control);
                wait(2);
            }
        }
    }
    // Now and then he looks through every paint, to the last and back; drawn apart from his other
    // choices, so that the runs he plays otherwise stay as they were.
    if (paintsRandom_() % 8 == 0) {
        press(kDown);
        wait(2);
        for (std::uint32_t control : {kIncrease, kDecrease}) {
            for (int step = 0; step < 8; ++step) {
                press(control);
                wait(2);
            }
        }
        ++covered_["paints-looked-through"];
    }
    const int actions = 2 + below(12);
    for (int i = 0; i < actions; ++i) {
        static constexpr std::uint32_t kMenuControls[] = {kDown,     kDown,     kUp,    kIncrease,
                                                          kIncrease, kDecrease, kSelect};
        press(kMenuControls[below(7)]);
        wait(below(6));
        if (chance(4)) {
            // Leaves without the back button: walks off the pier or dies with the shop open.
            if (chance(70)) {
                then([this] {
                    world_.playerPed().position.x += 8.0f;
                    ++covered_["shop-walked-off"];
                    return true;
                });
            } else {
                die();
            }
            return;
        }
    }
    closeOrBack();  // back
    wait(40 + below(20));
    if (chance(60)) closeOrBack();  // close the dock menu
}

void Player::fetchBoat() {
    leaveBoat();
    const int dock = randomDock();
    travelNear(pierOf(dock), 20.0f);
    walkTo(pierOf(dock));
    hold("INPUT_CONTEXT_Y", 22);
    wait(3);
    // The free retrieval is a press, the paid one a hold; he does not always know which is offered.
    if (chance(50))
        press(sim::hashOf("INPUT_CONTEXT_X"));
    else
        hold("INPUT_CONTEXT_X", chance(80) ? 25 : 5);
    wait(5 + below(20));
    if (chance(50)) closeOrBack();
}

void Player::rowOwnBoat() {
    if (ownBoat() == 0) return walkAbout();
    leaveBoat();
    then([this] {
        const sim::Entity* boat = world_.entity(ownBoat());
        if (boat != nullptr && sim::distance(at(), boat->position) > 40.0f) {
            world_.playerPed().position = stepTowards(boat->position, at(), 30.0f);
        }
        return true;
    });
    swimTo([this] { return ownBoat(); });
    board([this] { return ownBoat(); });
    // Out onto the river and about.
    const float dx = static_cast<float>(below(400) - 200);
    const float dy = static_cast<float>(below(400) - 200);
    rowTo(
        [this, dx, dy] {
            const sim::Entity* boat = world_.entity(ownBoat());
            const sim::Vec3 from = boat != nullptr ? boat->position : at();
            return sim::Vec3{from.x + dx, from.y + dy, from.z};
        },
        0.0f);
    if (chance(30)) {
        then([this] {
            // Rocks and snags: the boat comes back needing a repair, and now and then it sinks.
            if (sim::Entity* boat = world_.entity(ownBoat())) {
                boat->health = chance(8) ? 0 : boat->maxHealth * (20 + below(60)) / 100;
                if (boat->health == 0) ++covered_["boat-sunk"];
            }
            return true;
        });
    }
    if (chance(60)) {
        // The drop prompt shows only once the control has been held a while: he keeps it down.
        hold("INPUT_CONTEXT_X", chance(80) ? 70 + below(30) : 10 + below(20));
        wait(20 + below(60));
        // A new start of the game is seldom played at anchor: when this run has not had it, he
        // quits the game there now and then.
        then([this] {
            const sim::Entity* boat = world_.entity(ownBoat());
            if (boat != nullptr && boat->anchored && meetings_.unmet({"restart"}) && aim(3)) framesToRestart_ = 1;
            return true;
        });
        // He forgets the anchor and pulls at the oars.
        if (chance(40)) rowTo([this] { return stepTowards(at(), mooringOf(nearestDock()), 30.0f); }, 0.0f);
        if (chance(70)) hold("INPUT_CONTEXT_X", 45 + below(20));
    }
    if (chance(70)) {
        const int dock = chance(50) ? nearestDock() : randomDock();
        rowTo([this, dock] { return mooringOf(dock); }, chance(85) ? 0.5f : 2.0f);
        sellOrDockHere();
    } else if (chance(30)) {
        leaveBoat();
    }
}

void Player::takeStrangersBoat() {
    leaveBoat();
    const int dock = randomDock();
    travelNear(mooringOf(dock), 30.0f);
    auto stranger = std::make_shared<std::uint32_t>(0);
    then([this, stranger, dock] {
        const auto& types = allBoatTypes();
        const sim::Vec3 m = mooringOf(dock);
        const BoatType& type = *types[below(static_cast<int>(types.size()))];
        *stranger = world_.createVehicle(static_cast<std::uint32_t>(type.model), sim::Vec3{m.x + 25.0f, m.y + 10.0f, m.z}, 0.0f);
        ++covered_["stranger-boat-taken"];
        // Boats of the world wear paint and fittings of their model, as the game dresses them.
        if (claimsRandom_() % 2 == 0) {
            sim::Entity& boat = *world_.entity(*stranger);
            const auto pick = [this](std::span<const char* const> names) {
                const std::size_t n = claimsRandom_() % (names.size() + 1);
                return n == names.size() ? 0u : sim::hashOf(names[n]);
            };
            boat.tint = static_cast<std::int32_t>(claimsRandom_() % static_cast<std::uint64_t>(type.tintCount));
            boat.propSet = pick(type.propSets);
            boat.lanternPropSet = pick(type.lanternPropSets);
            ++covered_["stranger-boat-dressed"];
        }
        return true;
    });
    swimTo([stranger] { return *stranger; });
    board([stranger] { return *stranger; });
    rowTo([this, dock] { return mooringOf(dock); }, chance(85) ? 0.4f : 1.6f);
    sellOrDockHere();
}

void Player::goAfterRobbery() {
    // One robbery per start of the game: once it has ended, he takes his boat out instead.
    if (loggedSinceStart("event terminated") != nullptr) return rowOwnBoat();
    leaveBoat();
    ++covered_["robbery-sought"];
    // Near one of the river bends where a cargo boat may start, far enough for it to be picked.
    const Vec3& bend =
        cargoSpawnPoints[static_cast<std::size_t>(below(static_cast<int>(cargoSpawnPoints.size())))];
    then([this, bend] {
        world_.playerPed().position = sim::Vec3{bend.x + 180.0f, bend.y + 120.0f, bend.z};
        return true;
    });
    // Waits about until a robbery is published (one try every 14.4 s), or gives up.
    then([this, frames = 0]() mutable {
        if (++frames % 30 != 0) return false;
        if (const std::string* line = loggedSinceStart("CargoBoatsManager: starting event at coords: ")) {
            float x = 0, y = 0, z = 0;
            std::sscanf(line->c_str() + line->find("coords: ") + 8, "%f,%f,%f", &x, &y, &z);
            robberyAt_ = sim::Vec3{x, y, z};
            return true;
        }
        if (frames > 3000) {
            plan_.clear();
            plan_.push_back([] { return true; });
        }
        return false;
    });
    then([this] {
        world_.playerPed().position = stepTowards(robberyAt_, at(), 250.0f);
        return true;
    });
    then([this, frames = 0]() mutable { return cargoBoat() != 0 || ++frames > 200; });
    swimTo([this] { return cargoBoat(); });
    board([this] { return cargoBoat(); });
    then([this] {
        if (world_.playerPed().vehicle != 0 && world_.playerPed().vehicle == cargoBoat())
            ++covered_["cargo-boat-taken"];
        // The guards: some he kills or ties, some flee, some he leaves behind; now and then one is
        // gone altogether, taken away by another script.
        std::vector<std::uint32_t> gone;
        for (auto& [handle, entity] : world_.entities) {
            if (entity.kind != sim::EntityKind::ped || handle == world_.player.ped) continue;
            const int roll = below(100);
            if (roll < 25) {
                entity.dead = true;
                entity.health = 0;
                ++covered_["guard-killed"];
            } else if (roll < 30) {
                entity.hogtied = true;
            } else if (roll < 34) {
                entity.fleeing = true;
            } else if ((roll < 37 || guardGoneRandom_() % 12 == 0) && entity.madeByScript) {
                gone.push_back(handle);
            }
        }
        for (const std::uint32_t handle : gone) world_.deleteEntity(handle);
        if (!gone.empty()) ++covered_["guard-gone"];
        return true;
    });
    const int ending = below(100);
    if (ending < 8) {
        die();
    } else if (ending < 14) {
        rowTo([this] { return stepTowards(robberyAt_, at(), -700.0f); }, 0.0f);  // abandons it
    } else {
        // Leaves the escort behind, then makes for a dock to sell the boat.
        if (chance(50)) rowTo([this] { return stepTowards(robberyAt_, at(), -250.0f); }, 0.0f);
        const int dock = chance(70) ? nearestDock() : randomDock();
        then([this, dock] {
            world_.moveVehicle(world_.playerPed().vehicle, stepTowards(mooringOf(dock), at(), 60.0f));
            return true;
        });
        rowTo([this, dock] { return mooringOf(dock); }, chance(90) ? 0.5f : 2.5f);
        // Now and then he docks it instead, and so keeps it if he owns none.
        const bool keep = claimsRandom_() % 4 == 0;
        if (keep) ++covered_["cargo-boat-docked"];
        hold(keep ? "INPUT_CONTEXT_X" : "INPUT_CONTEXT_B", chance(85) ? 60 : 15);
        wait(10);
    }
}

void Player::die() {
    then([this] {
        meetings_.met("death");
        world_.playerPed().dead = true;
        world_.playerPed().health = 0;
        ++covered_["died"];
        return true;
    });
    wait(60 + below(200));
    then([this] {
        // The game brings him back on foot, some way off.
        sim::Entity& ped = world_.playerPed();
        ped.dead = false;
        ped.health = ped.maxHealth;
        world_.putPlayerOnFoot();
        const sim::Vec3 pier = pierOf(randomDock());
        ped.position = sim::Vec3{pier.x + 40.0f, pier.y + 40.0f, pier.z};
        return true;
    });
}

// --- Steps ----------------------------------------------------------------------------------------

void Player::wait(int frames) {
    then([frames]() mutable { return --frames < 0; });
}

void Player::walkTo(const sim::Vec3& target) {
    then([this, target, frames = 0]() mutable {
        sim::Entity& ped = world_.playerPed();
        // A walk longer than a minute is given up: he has been taken elsewhere meanwhile.
        if (ped.vehicle != 0 || ped.dead || ++frames > 1800) return true;
        if (!world_.player.control) return false;
        ped.position = stepTowards(ped.position, target, kWalkPerFrame);
        const bool there = ped.position == target;
        return there;
    });
}

void Player::travelNear(const sim::Vec3& target, float within) {
    // Long ways are travelled at once (a horse, a train): the plug-in only sees where he arrives.
    then([this, target, within] {
        sim::Entity& ped = world_.playerPed();
        if (ped.vehicle == 0 && world_.player.control && sim::distance(ped.position, target) > within) {
            ped.position = stepTowards(target, ped.position, within);
        }
        return true;
    });
}

void Player::swimTo(std::function<std::uint32_t()> boat) {
    then([this, boat, frames = 0]() mutable {
        const sim::Entity* vehicle = world_.entity(boat());
        sim::Entity& ped = world_.playerPed();
        if (vehicle == nullptr || ped.vehicle != 0 || ++frames > 600) return true;
        if (!world_.player.control) return false;
        ped.position = stepTowards(ped.position, vehicle->position, kWalkPerFrame * 3.0f);
        return sim::distance(ped.position, vehicle->position) < 2.0f;
    });
}

void Player::board(std::function<std::uint32_t()> boat) {
    then([this, boat, frames = 0, waited = 0]() mutable {
        const std::uint32_t vehicle = boat();
        // Gone, or the boat he sits in already: there is nothing to climb into.
        if (vehicle == 0 || world_.entity(vehicle) == nullptr || world_.playerPed().vehicle == vehicle) return true;
        // With his control off (the shop, another script's scene) the game lets him climb into
        // nothing: a climb begun is given up, one not begun waits a while for his control.
        if (!world_.player.control) {
            world_.playerPed().entering = 0;
            return frames > 0 || ++waited > 300;
        }
        // Climbing in takes a moment, as in the game: entering first, then seated.
        if (frames++ < 3) {
            world_.playerEntersVehicle(vehicle);
            return false;
        }
        world_.putPlayerInVehicle(vehicle);
        world_.playerPed().entering = 0;
        return true;
    });
}

void Player::rowTo(std::function<sim::Vec3()> target, float slowTo) {
    then([this, target, slowTo, goal = std::optional<sim::Vec3>(), frames = 0, anchored = 0]() mutable {
        sim::Entity* boat = world_.entity(world_.playerPed().vehicle);
        if (boat == nullptr || ++frames > 2000) return true;
        // The game reads none of his pad's rowing while his control is off.
        if (!world_.player.control) return false;
        if (!goal) goal = target();
        // Pulling against the anchor gets him nowhere: after a couple of seconds he stops.
        if (boat->anchored) {
            ++covered_["rowed-against-anchor"];
            if (++anchored > 60) return true;
        }
        const float left = sim::distance(boat->position, *goal);
        // The last 20 m at the speed he means to arrive with: the game works speed out from the
        // movement, so that is what the dock sees.
        const float closing = slowTo > 0.0f ? slowTo * world_.frameTimeSeconds() : kRowPerFrame * 0.1f;
        const float step = left > 20.0f ? kRowPerFrame * 3.0f : closing;
        world_.moveVehicle(boat->handle, stepTowards(boat->position, *goal, step));
        const bool there = left <= step;
        return there;
    });
}

void Player::hold(const char* control, int frames) {
    then([this, control, frames] {
        world_.input.hold(control, frames);
        return true;
    });
    wait(frames + 1);
}

void Player::press(std::uint32_t control) {
    then([this, control] {
        world_.input.press(control);
        return true;
    });
    wait(1);
}

// A fleeting state is aimed at within a few frames; a lasting one (the shop, the river) about once
// in twenty seconds; and after each aim he is left to his errands for forty seconds, so that he
// still gets done what he came for.
bool Player::aimAt(const Meetings::Unmet& unmet) {
    if (world_.frame < aimedAtFrame_ + kAimPauseFrames || !aim(unmet.fleeting ? 10 : 600)) return false;
    aimedAtFrame_ = world_.frame;
    return true;
}

bool Player::aimAt(std::initializer_list<const char*> events) {
    const auto unmet = meetings_.unmet(events);
    return unmet && aimAt(*unmet);
}

void Player::closeOrBack() {
    then([this] {
        meetings_.met("close-or-back");
        world_.input.press("INPUT_CONTEXT_B");
        return true;
    });
    wait(1);
}

void Player::useRandomControls(int count) {
    static constexpr const char* kControls[] = {"INPUT_CONTEXT_Y", "INPUT_CONTEXT_X", "INPUT_CONTEXT_B"};
    for (int i = 0; i < count; ++i) {
        if (chance(50))
            press(sim::hashOf(kControls[below(3)]));
        else
            hold(kControls[below(3)], 1 + below(50));
        wait(below(10));
    }
}

void Player::leaveBoat() {
    then([this] {
        sim::Entity& ped = world_.playerPed();
        if (ped.vehicle != 0) {
            world_.putPlayerOnFoot();
            ped.position.z += 1.0f;  // onto the bank
        }
        return true;
    });
}

void Player::sellOrDockHere() {
    const int roll = below(100);
    if (roll < 50) {
        hold("INPUT_CONTEXT_X", chance(85) ? 40 : 10);  // dock (or claim) it
    } else if (roll < 80) {
        auto boat = std::make_shared<std::uint32_t>(0);
        then([this, boat] {
            *boat = world_.playerPed().vehicle;
            return true;
        });
        hold("INPUT_CONTEXT_B", chance(85) ? 40 : 10);  // sell it
        // Now and then he climbs back into the boat he sold and tries to sell it again. Drawn apart
        // from his other choices, so that the runs he plays otherwise stay as they were.
        if (resellRandom_() % 4 == 0) {
            wait(60);
            swimTo([boat] { return *boat; });
            board([boat] { return *boat; });
            hold("INPUT_CONTEXT_B", 40);
            ++covered_["sold-boat-boarded"];
        }
    } else {
        useRandomControls(2);
    }
    wait(5);
    if (chance(50)) leaveBoat();
}

// --- The world as he sees it ----------------------------------------------------------------------

sim::Vec3 Player::pierOf(int dockIndex) const {
    return toSim(docksRegistry->docks()[static_cast<std::size_t>(dockIndex)]->pierPoint().position);
}

sim::Vec3 Player::mooringOf(int dockIndex) const {
    return toSim(docksRegistry->docks()[static_cast<std::size_t>(dockIndex)]->mooringPoint().position);
}

int Player::nearestDock() const {
    int nearest = 0;
    for (int i = 1; i < 15; ++i) {
        if (sim::distance(at(), pierOf(i)) < sim::distance(at(), pierOf(nearest))) nearest = i;
    }
    return nearest;
}

std::uint32_t Player::ownBoat() const {
    for (const sim::Entity* vehicle : world_.vehicles()) {
        if (vehicle->decorators.contains("QY_RB_isPlayerBoat") && !vehicle->released) return vehicle->handle;
    }
    return 0;
}

std::uint32_t Player::cargoBoat() const {
    for (const sim::Entity* vehicle : world_.vehicles()) {
        const auto sold = vehicle->decorators.find("QY_RB_isBoatSold");
        if (vehicle->decorators.contains("QY_RB_boatValue") &&
            (sold == vehicle->decorators.end() || sold->second == 0)) {
            return vehicle->handle;
        }
    }
    return 0;
}

bool Player::catalogueOpen() const {
    return !world_.screen.thisFrame().draws.empty();
}

const std::string* Player::loggedSinceStart(const std::string& prefix) {
    log_ = game_.logMessages();
    for (std::size_t i = logAtStart_; i < log_.size(); ++i) {
        if (log_[i].starts_with(prefix)) return &log_[i];
    }
    return nullptr;
}

sim::Vec3 Player::at() const {
    return world_.positionOf(world_.player.ped);
}

}  // namespace tollmere::playtest
