#include "Host.h"

#include "ScriptHost.h"

#include <bit>
#include <cinttypes>
#include <cstdio>

namespace sim {

namespace {

// Thrown by a foreign fault: derived from nothing the standard library knows.
struct ForeignError {};

std::string hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%" PRIX64, value);
    return text;
}

}  // namespace

// Far more than any frame of a script needs; a script past it is looping for a state that only
// a later frame can bring.
constexpr int kCallsBeforeTheGameFreezes = 200000;

// --- Call ---------------------------------------------------------------------------------------

std::uint32_t Call::u32(int i) const {
    const std::uint64_t value = raw(i);
    if ((value >> 32) != 0) {
        fail("argument " + std::to_string(i + 1) + " is " + hex(value) +
             ": a 32-bit value must be zero-extended, its high half zero");
    }
    return static_cast<std::uint32_t>(value);
}

bool Call::flag(int i) const {
    const std::uint32_t value = u32(i);
    if (value > 1) fail("argument " + std::to_string(i + 1) + " must be 0 or 1, not " + std::to_string(value));
    return value == 1;
}

void Call::only(int i, std::uint32_t value, const char* meaning) const {
    const std::uint32_t given = u32(i);
    if (given == value) return;
    fail("argument " + std::to_string(i + 1) + " (" + meaning + ") is " + std::to_string(given) +
         "; the game is modelled here only for " + std::to_string(value) + " and answers another otherwise");
}

void Call::onlyF32(int i, float value, const char* meaning) const {
    const float given = f32(i);
    if (given == value) return;
    fail("argument " + std::to_string(i + 1) + " (" + meaning + ") is " + std::to_string(given) +
         "; the game is modelled here only for " + std::to_string(value) + " and answers another otherwise");
}

float Call::f32(int i) const { return std::bit_cast<float>(u32(i)); }

const char* Call::str(int i) const {
    const char* text = ptr<const char>(i);
    if (text == nullptr) fail("argument " + std::to_string(i + 1) + " must point to a text");
    return text;
}

// Callers read only the low 32 bits of a slot; the game leaves whatever it likes in the high half.
void Call::returns(std::uint32_t value) { result_[0] = host_.slotNoise() | value; }
void Call::returns(std::int32_t value) { returns(static_cast<std::uint32_t>(value)); }
void Call::returns(bool value) { returns(value ? 1u : 0u); }
void Call::returns(float value) { returns(std::bit_cast<std::uint32_t>(value)); }

void Call::returns(const Vec3& value) {
    result_[0] = host_.slotNoise() | std::bit_cast<std::uint32_t>(value.x);
    result_[1] = host_.slotNoise() | std::bit_cast<std::uint32_t>(value.y);
    result_[2] = host_.slotNoise() | std::bit_cast<std::uint32_t>(value.z);
}

void Call::fail(const std::string& why) const { host_.fail(std::string(name_) + ": " + why); }

// --- Host ---------------------------------------------------------------------------------------

Host& Host::instance() {
    // Never destroyed: a parked script may still wait on its members at exit.
    static Host* host = new Host();
    return *host;
}

Host::Host() {
    pendingArgs_.reserve(16);
    callsPerFrame_.push_back(0);
    registerAllNatives(*this);
}

void Host::registerNative(std::string name, std::uint64_t hash, std::initializer_list<int> argCounts,
                          Handler handler) {
    if (handlers_.contains(hash)) fail("native " + name + " (" + hex(hash) + ") is registered twice");
    handlers_[hash] = NativeHandler{std::move(name), hash, argCounts, std::move(handler)};
}

void Host::resetWorld() {
    if (anyScriptLive()) fail("the world cannot be reset while a script runs in it");
    world_ = World();
    calls_.clear();
    callsPerFrame_.assign(1, 0);
    faults_.clear();
    fatal_.clear();
    checking_ = false;
}

const NativeHandler* Host::handler(std::uint64_t hash) const {
    auto it = handlers_.find(hash);
    return it == handlers_.end() ? nullptr : &it->second;
}

const NativeHandler* Host::handler(const std::string& name) const {
    for (const auto& [hash, entry] : handlers_) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

void Host::attach(void (*onProcessAttach)(HINSTANCE__*), const std::string& name) {
    // Any address will do: a script only hands its module back to the host.
    auto* module = reinterpret_cast<HINSTANCE__*>(moduleTokens_.emplace_back(std::make_unique<int>()).get());
    modules_.emplace_back(module, name);
    onProcessAttach(module);
}

void Host::detach(void (*onProcessDetach)(HINSTANCE__*), const std::string& name) {
    for (auto it = modules_.rbegin(); it != modules_.rend(); ++it) {
        if (it->second == name) return onProcessDetach(it->first);
    }
    fail("detach of " + name + ", which was never attached");
}

const Host::Script* Host::find(const std::string& name) const {
    if (name.empty()) return scripts_.empty() ? nullptr : scripts_.front().get();
    // The latest of that name: a module loaded again after it was unregistered.
    for (auto it = scripts_.rbegin(); it != scripts_.rend(); ++it) {
        if ((*it)->name == name) return it->get();
    }
    return nullptr;
}

bool Host::scriptRegistered(const std::string& name) const { return find(name) != nullptr; }

bool Host::scriptFinished(const std::string& name) const {
    const Script* script = find(name);
    return script != nullptr && script->finished;
}

std::uint32_t Host::parkedWaitMs(const std::string& name) const {
    const Script* script = find(name);
    return script != nullptr && !script->finished ? script->waitMs : 0;
}

bool Host::anyScriptLive() const {
    for (const auto& script : scripts_) {
        if (!script->finished) return true;
    }
    return false;
}

bool Host::anyScriptRunning() const {
    for (const auto& script : scripts_) {
        if (script->started && !script->finished) return true;
    }
    return false;
}

const std::string& Host::caller() const {
    static const std::string plugin = kPluginName;
    return current_ != nullptr ? current_->name : plugin;
}

bool Host::onScriptThread() const { return current_ != nullptr && current_->runner.onScript(); }

std::uint64_t Host::slotNoise() {
    return static_cast<std::uint64_t>(noise_()) << 32;
}

void Host::runFrame() {
    if (!fatal_.empty()) throw Fatal(fatal_);
    try {
        world_.advanceFrame();
    } catch (const std::logic_error& refused) {
        fail(refused.what());
    }
    callsPerFrame_.push_back(0);
    // By index: a script may register another during its turn, which then runs in this frame too.
    for (std::size_t i = 0; i < scripts_.size(); ++i) {
        resume(*scripts_[i]);
        if (!fatal_.empty()) throw Fatal(fatal_);
    }
    if (checking_) {
        try {
            world_.checkFrame();
        } catch (const Refusal& refused) {
            fail(refused.what());
        }
    }
}

void Host::runFrames(int count) {
    for (int i = 0; i < count; ++i) runFrame();
}

void Host::runFor(int milliseconds) {
    const std::int32_t until = world_.gameTimeMs + milliseconds;
    while (world_.gameTimeMs < until) runFrame();
}

void Host::resume(Script& script) {
    if (script.finished) return;
    if (script.started && (world_.frame <= script.yieldedInFrame || world_.gameTimeMs < script.wakeAtMs)) return;
    current_ = &script;
    callsThisResume_ = 0;
    if (!script.started) {
        script.started = true;
        script.runner.start([this, &script] { runScript(script); });
    } else {
        script.runner.resume();
    }
    current_ = nullptr;
}

void Host::runScript(Script& script) {
    try {
        script.main();
    } catch (const std::exception& error) {
        fatal_ = script.name + ": the script ended with an exception: " + error.what();
    } catch (...) {
        fatal_ = script.name + ": the script ended with an exception that is not a standard one";
    }
    script.finished = true;
}

void Host::fail(const std::string& why) {
    if (fatal_.empty()) fatal_ = why;
    std::fprintf(stderr, "simulated game: %s\n", why.c_str());
    if (onScriptThread()) current_->runner.park();
    throw Fatal(why);
}

void Host::onScriptRegister(HINSTANCE__* module, void (*scriptMain)()) {
    for (const auto& script : scripts_) {
        if (script->module == module) {
            fail(script->name +
                 ": a script is already registered for this module: the plug-in's globals live for the whole "
                 "process, as in the game, so start each end-to-end run in a process of its own");
        }
    }
    auto script = std::make_unique<Script>();
    script->module = module;
    script->main = scriptMain;
    script->name = kPluginName;
    for (const auto& [attached, name] : modules_) {
        if (attached == module) script->name = name;
    }
    scripts_.push_back(std::move(script));
    checking_ = true;
}

void Host::onScriptUnregister(HINSTANCE__* module) {
    for (const auto& script : scripts_) {
        if (script->module != module) continue;
        // The script is never resumed again.
        script->finished = true;
        script->runner.abandon();
        return;
    }
    fail("scriptUnregister with a module that has no script registered");
}

void Host::onScriptWait(std::uint32_t milliseconds) {
    if (anyScriptLive() && !onScriptThread()) fail("scriptWait from outside the script");
    if (!onScriptThread()) {
        // Called from a test driving the plug-in's code directly: let the game run for that long.
        const std::int32_t until = world_.gameTimeMs + static_cast<std::int32_t>(milliseconds);
        do {
            world_.advanceFrame();
            callsPerFrame_.push_back(0);
        } while (world_.gameTimeMs < until);
        return;
    }
    if (building_) fail("scriptWait in the middle of a native call");
    Script& script = *current_;
    script.wakeAtMs = world_.gameTimeMs + static_cast<std::int32_t>(milliseconds);
    script.waitMs = milliseconds;
    script.yieldedInFrame = world_.frame;
    script.runner.yield();
}

void Host::onNativeInit(std::uint64_t hash) {
    if (anyScriptRunning() && !onScriptThread()) fail("nativeInit(" + hex(hash) + ") off the script thread");
    if (building_) fail("nativeInit(" + hex(hash) + ") before the call of " + hex(pendingHash_) + " was made");
    building_ = true;
    pendingHash_ = hash;
    pendingArgs_.clear();
}

void Host::onNativePush(std::uint64_t value) {
    if (!building_) fail("nativePush64 without nativeInit");
    pendingArgs_.push_back(value);
}

unsigned long long* Host::onNativeCall() {
    if (!building_) fail("nativeCall without nativeInit");
    building_ = false;
    const NativeHandler* entry = handler(pendingHash_);
    if (entry == nullptr) fail("native " + hex(pendingHash_) + " has no handler in the simulated game");
    const int count = static_cast<int>(pendingArgs_.size());
    bool countAccepted = false;
    for (int accepted : entry->argCounts) countAccepted = countAccepted || accepted == count;
    if (!countAccepted) {
        std::string expected;
        for (int accepted : entry->argCounts) expected += (expected.empty() ? "" : " or ") + std::to_string(accepted);
        fail("native " + entry->name + " (" + hex(pendingHash_) + ") called with " + std::to_string(count) +
             " arguments; the game takes " + expected);
    }

    // The game runs a script's turn inside its own frame: a script that calls on and on without
    // waiting (a loop for a state that only the next frame can bring) freezes the game for good.
    if (current_ != nullptr && onScriptThread() && ++callsThisResume_ > kCallsBeforeTheGameFreezes) {
        fail(current_->name + " made " + std::to_string(kCallsBeforeTheGameFreezes) + " native calls, the last " +
             entry->name + ", without waiting once: the game is frozen");
    }
    result_.fill(0);
    const std::string& script = caller();
    if (recordCalls) {
        calls_.push_back(CallRecord{world_.frame, pendingHash_, entry->name.c_str(), &script, pendingArgs_, {}});
    }
    // Per frame only the plug-in's calls are counted: what a frame of it costs, and whether its script
    // ran at all in the frame, must not count a neighbour's.
    if (script == kPluginName) ++callsPerFrame_.back();

    if (auto fault = faults_.find(entry->name); fault != faults_.end() && fault->second.remaining != 0) {
        if (fault->second.remaining > 0) --fault->second.remaining;
        if (fault->second.foreign) throw ForeignError{};
        throw std::runtime_error(fault->second.message);
    }

    Call call(*this, entry->name.c_str(), script, pendingArgs_, result_);
    try {
        entry->handler(call);
    } catch (const Refusal& refused) {
        call.fail(refused.what());
    }
    // An argument the world never looks at is one whose every value it would answer alike: a
    // mistaken value there would pass unseen, as it need not in the game.
    if (const std::uint64_t unread = call.unread(); unread != 0) {
        const int first = std::countr_zero(unread);
        call.fail("the simulated game does not read argument " + std::to_string(first + 1) +
                  "; model it, or pin it with Call::only");
    }
    if (recordCalls) calls_.back().result = result_;
    return result_.data();
}

std::vector<const CallRecord*> Host::callsTo(const std::string& name, const std::string& script) const {
    std::vector<const CallRecord*> found;
    for (const CallRecord& call : calls_) {
        if (name == call.name && (script.empty() || script == *call.script)) found.push_back(&call);
    }
    return found;
}

int Host::callsInFrame(int frame) const {
    return frame >= 0 && frame < static_cast<int>(callsPerFrame_.size()) ? callsPerFrame_[frame] : 0;
}

void Host::injectFault(const std::string& name, const std::string& message, int times) {
    if (handler(name) == nullptr) fail("cannot inject a fault into unknown native " + name);
    faults_[name] = Fault{message, times};
}

void Host::injectForeignFault(const std::string& name, int times) {
    injectFault(name, {}, times);
    faults_[name].foreign = true;
}

void Host::clearFaults() { faults_.clear(); }

void Host::sendKey(std::uint32_t key, bool down, bool withAlt) {
    if (keyboard_ != nullptr) keyboard_(key, 1, 0, 0, withAlt ? 1 : 0, down ? 0 : 1, down ? 0 : 1);
}

void Host::onKeyboardRegister(KeyboardCallback callback) { keyboard_ = callback; }

void Host::onKeyboardUnregister(KeyboardCallback callback) {
    if (keyboard_ == callback) keyboard_ = nullptr;
}

}  // namespace sim

namespace {

// Tells the observer, if any, that the caller is inside the host for the scope's lifetime.
class HostCallScope {
public:
    explicit HostCallScope(const char* function) : function_(function) {
        if (sim::Host::hostCallObserver != nullptr) sim::Host::hostCallObserver(function_, true);
    }
    ~HostCallScope() {
        if (sim::Host::hostCallObserver != nullptr) sim::Host::hostCallObserver(function_, false);
    }
    HostCallScope(const HostCallScope&) = delete;
    HostCallScope& operator=(const HostCallScope&) = delete;

private:
    const char* function_;
};

}  // namespace

// --- The eight host functions --------------------------------------------------------------------

// The types are the host's Windows ones. DWORD is 32 bits there: a wider wait would be a plug-in
// relying on Linux's unsigned long, and cut short in the game.
void scriptRegister(HINSTANCE__* module, void (*scriptMain)()) {
    const HostCallScope scope("scriptRegister");
    sim::Host::instance().onScriptRegister(module, scriptMain);
}
void scriptUnregister(HINSTANCE__* module) {
    const HostCallScope scope("scriptUnregister");
    sim::Host::instance().onScriptUnregister(module);
}
void scriptWait(unsigned long milliseconds) {
    const HostCallScope scope("scriptWait");
    if (milliseconds > UINT32_MAX) {
        sim::Host::instance().fail("scriptWait(" + std::to_string(milliseconds) + ") is wider than a DWORD");
    }
    sim::Host::instance().onScriptWait(static_cast<std::uint32_t>(milliseconds));
}
void nativeInit(unsigned long long hash) {
    const HostCallScope scope("nativeInit");
    sim::Host::instance().onNativeInit(hash);
}
void nativePush64(unsigned long long value) {
    const HostCallScope scope("nativePush64");
    sim::Host::instance().onNativePush(value);
}
unsigned long long* nativeCall() {
    const HostCallScope scope("nativeCall");
    return sim::Host::instance().onNativeCall();
}
void keyboardHandlerRegister(KeyboardHandler handler) {
    const HostCallScope scope("keyboardHandlerRegister");
    sim::Host::instance().onKeyboardRegister(handler);
}
void keyboardHandlerUnregister(KeyboardHandler handler) {
    const HostCallScope scope("keyboardHandlerUnregister");
    sim::Host::instance().onKeyboardUnregister(handler);
}
