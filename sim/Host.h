#pragma once
// The simulated script host. It runs every registered script in turns with the host (each on a
// ScriptRunner of its own: a thread with a strict hand-off on Linux, a real fiber on Windows), so
// exactly one of host and scripts runs at any moment: once a frame, each script whose wait is over
// is resumed in the order they registered. It answers every native through a handler of the world
// model, knows which script made each call, and records every call.
//
// A native without a handler, a call with the wrong number of arguments or a 32-bit argument that
// was sign-extended stops the run: the script is parked for good and the next frame throws Fatal
// with a message naming the native.

#include "ScriptHost.h"
#include "ScriptRunner.h"
#include "World.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <initializer_list>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace sim {

struct Fatal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Host;

// One native call as its handler sees it: the pushed slots and the result slots.
class Call {
public:
    Call(Host& host, const char* name, const std::string& script, const std::vector<std::uint64_t>& args,
         std::array<unsigned long long, 4>& result)
        : host_(host), name_(name), script_(script), args_(args), result_(result) {}

    const char* name() const { return name_; }
    // The script that made the call (see Host::caller).
    const std::string& script() const { return script_; }
    int count() const { return static_cast<int>(args_.size()); }

    std::uint64_t raw(int i) const {
        if (i >= 0 && i < 64) read_ |= 1ull << i;
        return args_.at(static_cast<std::size_t>(i));
    }
    // The arguments the handler never looked at: each is one whose every value the world would
    // answer alike, which the game need not.
    std::uint64_t unread() const {
        const std::uint64_t all = args_.size() >= 64 ? ~0ull : (1ull << args_.size()) - 1;
        return all & ~read_;
    }
    std::uint32_t u32(int i) const;  // fails on a sign-extended or otherwise wide value
    std::int32_t i32(int i) const { return static_cast<std::int32_t>(u32(i)); }
    bool flag(int i) const;  // 0 or 1
    // An argument whose other values the game answers in ways this world does not model (a
    // position flag, a reason, a creation flag): any other value stops the run rather than being
    // answered as though it were this one.
    void only(int i, std::uint32_t value, const char* meaning) const;
    void onlyF32(int i, float value, const char* meaning) const;
    float f32(int i) const;
    Vec3 vec(int i) const { return Vec3{f32(i), f32(i + 1), f32(i + 2)}; }
    const char* str(int i) const;
    template <typename T>
    T* ptr(int i) const {
        return reinterpret_cast<T*>(static_cast<std::uintptr_t>(raw(i)));
    }

    void returns(std::uint32_t value);
    void returns(std::int32_t value);
    void returns(bool value);
    void returns(float value);
    void returns(const Vec3& value);
    void returns64(std::uint64_t value) { result_[0] = value; }

    [[noreturn]] void fail(const std::string& why) const;

private:
    Host& host_;
    const char* name_;
    const std::string& script_;
    const std::vector<std::uint64_t>& args_;
    std::array<unsigned long long, 4>& result_;
    mutable std::uint64_t read_ = 0;
};

using Handler = std::function<void(Call&)>;

struct NativeHandler {
    std::string name;
    std::uint64_t hash = 0;
    std::vector<int> argCounts;  // accepted numbers of argument slots
    Handler handler;
};

struct CallRecord {
    int frame = 0;
    std::uint64_t hash = 0;
    const char* name = "";
    const std::string* script = nullptr;  // the caller's name, which lives as long as the host
    std::vector<std::uint64_t> args;
    std::array<unsigned long long, 4> result{};
};

class Host {
public:
    // The one host of the process; it lives until the process ends, like the game's.
    static Host& instance();

    World& world() { return world_; }
    // A fresh world and call record, for tests that drive the plug-in's code directly. Refused
    // while a script is registered: its world lives as long as it does.
    void resetWorld();

    void registerNative(std::string name, std::uint64_t hash, std::initializer_list<int> argCounts, Handler handler);
    const NativeHandler* handler(std::uint64_t hash) const;
    const NativeHandler* handler(const std::string& name) const;

    // The plug-in's name, as the game's loader knows it from its file. A module the host did not
    // attach itself (the real plug-in, loaded with LoadLibrary under Wine) goes by it.
    static constexpr const char* kPluginName = "Tollmere";
    // Loads a script module the way the game's loader does: by calling its attach entry with a
    // module of its own, known by the name given.
    void attach(void (*onProcessAttach)(HINSTANCE__*), const std::string& name = kPluginName);
    // Unloads the module attached under that name: its detach entry is given its module back.
    void detach(void (*onProcessDetach)(HINSTANCE__*), const std::string& name = kPluginName);
    // Whether the named script (the first registered when no name is given; the latest of that
    // name, when a module was loaded again) is registered, and
    // whether it has finished: returned, failed or been unregistered.
    bool scriptRegistered(const std::string& name = {}) const;
    bool scriptFinished(const std::string& name = {}) const;
    // The length of the wait the named script is parked in (0 between frames, as a frame loop
    // waits): more means it waits in the middle of something it is doing.
    std::uint32_t parkedWaitMs(const std::string& name = {}) const;
    // The script a native call or a host function comes from: the one being resumed. A call from
    // outside every script is a test driving the plug-in's code directly, and counts as the
    // plug-in's.
    const std::string& caller() const;

    // One game frame: time advances, streaming settles, and the script runs if its wait is over.
    void runFrame();
    void runFrames(int count);
    void runFor(int milliseconds);

    // Every call is recorded unless this is off (a benchmark making millions of calls).
    bool recordCalls = true;
    const std::vector<CallRecord>& calls() const { return calls_; }
    // The calls of the named native, by every script or by the one named.
    std::vector<const CallRecord*> callsTo(const std::string& name, const std::string& script = {}) const;
    // The calls the plug-in made in the frame (other scripts' left out).
    int callsInFrame(int frame) const;

    // Makes the named native throw std::runtime_error(message) into the caller, for the given
    // number of calls (-1: until cleared), to exercise the plug-in's error handling.
    void injectFault(const std::string& name, const std::string& message, int times = -1);
    // The same with an exception of no standard type, as a host's own error may be.
    void injectForeignFault(const std::string& name, int times = -1);
    void clearFaults();

    // Delivers one keyboard message from outside the script, as the host's window procedure does.
    void sendKey(std::uint32_t key, bool down, bool withAlt = false);

    // Hooks of the eight host functions.
    void onScriptRegister(HINSTANCE__* module, void (*scriptMain)());
    void onScriptUnregister(HINSTANCE__* module);
    void onScriptWait(std::uint32_t milliseconds);
    void onNativeInit(std::uint64_t hash);
    void onNativePush(std::uint64_t value);
    unsigned long long* onNativeCall();
    using KeyboardCallback = KeyboardHandler;
    void onKeyboardRegister(KeyboardCallback callback);
    void onKeyboardUnregister(KeyboardCallback callback);

    [[noreturn]] void fail(const std::string& why);
    // What the game leaves in the high half of a 32-bit result slot.
    std::uint64_t slotNoise();

    // Called on entering (true) and leaving (false) each of the eight host functions, named, on
    // the caller's thread, when set. Lets a measuring tool tell the plug-in's frames and heap use
    // from the simulated game's answers. Set it before the plug-in starts.
    static inline void (*hostCallObserver)(const char* function, bool entering) = nullptr;

private:
    // A registered script and the hand-off between it and the host.
    struct Script {
        HINSTANCE__* module = nullptr;
        std::string name;
        void (*main)() = nullptr;
        ScriptRunner runner;
        bool started = false;
        bool finished = false;
        std::int32_t wakeAtMs = 0;
        std::uint32_t waitMs = 0;  // the wait it is parked in
        int yieldedInFrame = -1;
    };

    Host();
    bool onScriptThread() const;
    void runScript(Script& script);
    void resume(Script& script);
    const Script* find(const std::string& name) const;
    bool anyScriptLive() const;     // registered and not finished
    bool anyScriptRunning() const;  // started and not finished

    World world_;
    std::unordered_map<std::uint64_t, NativeHandler> handlers_;

    // Every script registered in the process, in order. An unregistered one stays (finished): its
    // parked runner may still wait on its state.
    std::vector<std::unique_ptr<Script>> scripts_;
    Script* current_ = nullptr;  // the script being resumed
    int callsThisResume_ = 0;     // its native calls since it was resumed
    bool checking_ = false;      // the world's after-frame checks: since a script registered in this world
    std::vector<std::pair<HINSTANCE__*, std::string>> modules_;  // attached, in order, with their names
    std::vector<std::unique_ptr<int>> moduleTokens_;
    KeyboardCallback keyboard_ = nullptr;
    std::string fatal_;

    // The call being built.
    bool building_ = false;
    std::uint64_t pendingHash_ = 0;
    std::vector<std::uint64_t> pendingArgs_;
    std::array<unsigned long long, 4> result_{};  // the host's result slots are UINT64

    std::mt19937 noise_{0x51A7u};
    std::vector<CallRecord> calls_;
    std::vector<int> callsPerFrame_;
    struct Fault {
        std::string message;
        int remaining;
        bool foreign = false;
    };
    std::unordered_map<std::string, Fault> faults_;
};

void registerAllNatives(Host& host);

}  // namespace sim
