#include "Neighbour.h"

#include "Host.h"
#include "ScriptHost.h"

#include <bit>
#include <initializer_list>

namespace sim {

namespace {

constexpr std::int32_t kFadeMs = 500;

std::uint64_t flag(bool value) {
    return value ? 1u : 0u;
}
std::uint64_t number(float value) {
    return std::bit_cast<std::uint32_t>(value);
}

// One native call through the host functions, as any script makes it.
unsigned long long* invoke(std::uint64_t hash, std::initializer_list<std::uint64_t> args = {}) {
    nativeInit(hash);
    for (std::uint64_t arg : args)
        nativePush64(arg);
    return nativeCall();
}
std::uint32_t answer(std::uint64_t hash, std::initializer_list<std::uint64_t> args = {}) {
    return static_cast<std::uint32_t>(invoke(hash, args)[0]);
}

std::int32_t gameTimer() {
    return static_cast<std::int32_t>(answer(0x78FD8BE812E436B2));
}
std::uint32_t playerId() {
    return answer(0x217E9DC48139933D);
}

void setPlayerControl(bool on) {
    invoke(0x4D51E59243281D80, {playerId(), flag(on), 0, 0});
}
void displayHud(bool on) {
    invoke(0xD63FE3AF9FB3D53F, {flag(on)});
}
void renderScriptCams(bool render) {
    invoke(0x33281167E4942E4F, {flag(render), 0, 0, 1, 0, 0});
}

}  // namespace

Neighbour& Neighbour::start(Host& host) {
    static Neighbour neighbour;
    if (host.scriptRegistered(kName) && !host.scriptFinished(kName)) {
        host.fail("the neighbour was started while it still runs");
    }
    neighbour = Neighbour();
    neighbour.host_ = &host;
    current() = &neighbour;
    host.world().shared.sceneScripts.insert(kName);
    host.attach([](HINSTANCE__* module) { scriptRegister(module, &Neighbour::main); }, kName);
    return neighbour;
}

void Neighbour::stop(Host& host) {
    host.detach([](HINSTANCE__* module) { scriptUnregister(module); }, kName);
}

Neighbour*& Neighbour::current() {
    static Neighbour* running = nullptr;
    return running;
}

void Neighbour::main() {
    // The neighbour started last is the one the host resumes: an earlier one was unregistered.
    Neighbour& neighbour = *current();
    for (;;) {
        neighbour.frame();
        scriptWait(0);
    }
}

void Neighbour::playScene(std::int32_t holdMs) {
    if (behaviour_ != Behaviour::none)
        host_->fail("the neighbour was asked for a scene while it plays another");
    behaviour_ = Behaviour::scene;
    phase_ = Phase::waiting;
    holdMs_ = holdMs;
}

void Neighbour::startPhotoMode() {
    if (behaviour_ != Behaviour::none)
        host_->fail("the neighbour was asked for a photo mode while it plays another");
    behaviour_ = Behaviour::photoMode;
    phase_ = Phase::waiting;
    photoModeEnding_ = false;
}

void Neighbour::endPhotoMode() {
    if (behaviour_ != Behaviour::photoMode) host_->fail("the neighbour has no photo mode to end");
    photoModeEnding_ = true;
}

void Neighbour::openPauseMenu(std::int32_t forMs) {
    openMenu(true, forMs);
}
void Neighbour::openMap(std::int32_t forMs) {
    openMenu(false, forMs);
}

// The game opens its menus at once, whatever the scripts do; the neighbour only closes them on time.
void Neighbour::openMenu(bool pauseMenu, std::int32_t forMs) {
    World& world = host_->world();
    (pauseMenu ? world.menus.pauseMenu : world.menus.uiApp) = true;
    menuClosesAtMs_ = world.gameTimeMs + forMs;
}

void Neighbour::deleteVehicle(std::uint32_t vehicle) {
    toDelete_.push_back(vehicle);
}

const char* Neighbour::doing() const {
    if (behaviour_ == Behaviour::none) return "idle";
    if (phase_ == Phase::waiting) return "waiting";
    return behaviour_ == Behaviour::scene ? "scene" : "photo mode";
}

void Neighbour::frame() {
    World& world = host_->world();
    if (menuClosesAtMs_ >= 0 && world.gameTimeMs >= menuClosesAtMs_) {
        world.menus.pauseMenu = world.menus.uiApp = false;
        menuClosesAtMs_ = -1;
    }
    for (std::uint32_t vehicle : toDelete_) {
        std::uint32_t handle = vehicle;
        invoke(0x4CD38C78BD19A497, {reinterpret_cast<std::uintptr_t>(&handle)});
    }
    toDelete_.clear();
    if (behaviour_ == Behaviour::scene) playSceneFrame();
    if (behaviour_ == Behaviour::photoMode) playPhotoModeFrame();
}

// A fade in progress, a dark screen or one of the game's menus: a scene waits for them to end.
bool Neighbour::screenBusy() {
    for (std::uint64_t question : {0xF5472C80DF2FF847ull, 0x02F39BEFE7B88D00ull, 0x0CECCC63FFA2EF24ull,
                                   0x535384D6067BA42Eull, 0xDB30BEC7A7A5CBD3ull, 0x71D4BF5890659B0Cull}) {
        if (answer(question) != 0) return true;
    }
    return false;
}

void Neighbour::playSceneFrame() {
    if (phase_ == Phase::waiting) {
        if (screenBusy()) return;
        invoke(0x40C719A5E410B9E4, {static_cast<std::uint32_t>(kFadeMs)});
        displayHud(false);
        setPlayerControl(false);
        phase_ = Phase::holding;
        phaseEndsAtMs_ = gameTimer() + kFadeMs + holdMs_;
    } else if (phase_ == Phase::holding && gameTimer() >= phaseEndsAtMs_) {
        invoke(0x6A053CF596F67DF7, {static_cast<std::uint32_t>(kFadeMs)});
        displayHud(true);
        setPlayerControl(true);
        behaviour_ = Behaviour::none;
        ++scenesPlayed_;
    }
}

void Neighbour::playPhotoModeFrame() {
    if (phase_ == Phase::waiting && photoModeEnding_) {
        behaviour_ = Behaviour::none;  // ended before the screen was free: nothing was taken
    } else if (phase_ == Phase::waiting) {
        if (screenBusy()) return;
        // A camera of its own, a few metres off the player and looking at him, active at once.
        const unsigned long long* at = invoke(0xA86D5F069399F44D, {answer(0x96275889B8E0EE0), 1, 0});
        const float x = std::bit_cast<float>(static_cast<std::uint32_t>(at[0]));
        const float y = std::bit_cast<float>(static_cast<std::uint32_t>(at[1]));
        const float z = std::bit_cast<float>(static_cast<std::uint32_t>(at[2]));
        static const char* const kType = "DEFAULT_SCRIPTED_CAMERA";
        camera_ = answer(0x40C23491CE83708E,
                         {reinterpret_cast<std::uintptr_t>(kType), number(x + 3.0f), number(y + 3.0f),
                          number(z + 1.5f), number(0.0f), number(0.0f), number(0.0f), number(50.0f), 1, 2});
        invoke(0x948B39341C3A40C2, {camera_, number(x), number(y), number(z)});
        renderScriptCams(true);
        displayHud(false);
        setPlayerControl(false);
        phase_ = Phase::holding;
    } else if (photoModeEnding_) {
        renderScriptCams(false);
        invoke(0x87295BCA613800C8, {camera_, 0});
        displayHud(true);
        setPlayerControl(true);
        behaviour_ = Behaviour::none;
        ++photoModesPlayed_;
    }
}

}  // namespace sim
