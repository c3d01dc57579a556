#include "Host.h"
#include "natives/Registration.h"

#include <cinttypes>
#include <cstdio>
#include <string>

namespace sim {

namespace {

std::string named(std::uint32_t handle) {
    char text[32];
    std::snprintf(text, sizeof text, "prompt 0x%" PRIX32, handle);
    return text;
}

GamePrompt& known(const Call& call, Prompts& prompts) {
    return prompts.use(call.u32(0));
}

// Set calls belong between beginPromptRegistration and endPromptRegistration; the game ignores
// them afterwards, so a late one would leave the prompt silently unlike what the script meant.
GamePrompt& beingRegistered(const Call& call, Prompts& prompts) {
    GamePrompt& prompt = known(call, prompts);
    if (prompt.registered) call.fail(named(prompt.handle) + " is set up after endPromptRegistration");
    return prompt;
}

GamePrompt& usable(const Call& call, Prompts& prompts) {
    GamePrompt& prompt = known(call, prompts);
    if (!prompt.registered) call.fail(named(prompt.handle) + " is used before endPromptRegistration");
    return prompt;
}

void setMode(Call& call, Prompts& prompts, PromptMode mode) {
    GamePrompt& prompt = beingRegistered(call, prompts);
    call.only(1, 1, "the mode is on");
    if (prompt.mode != PromptMode::none) call.fail(named(prompt.handle) + " already has its mode");
    prompt.mode = mode;
}

}  // namespace

void registerPromptNatives(Host& host) {
    World& world = host.world();
    Prompts& prompts = world.prompts;

    host.registerNative("beginPromptRegistration", 0x4F97DE45A519419, {0}, [&prompts](Call& call) {
        if (prompts.registering() != 0) {
            call.fail(named(prompts.registering()) +
                      " is still being registered: end it before beginning another");
        }
        call.returns(prompts.beginRegistration());
    });
    host.registerNative("setPromptControl", 0xB5352B7494A08258, {2}, [&prompts](Call& call) {
        GamePrompt& prompt = beingRegistered(call, prompts);
        prompt.control = call.u32(1);
        prompt.hasControl = true;
    });
    host.registerNative("setPromptText", 0x5DD02A8318420DD7, {2}, [&prompts, &world](Call& call) {
        GamePrompt& prompt = beingRegistered(call, prompts);
        const Text* text = world.text(call.raw(1));
        if (text == nullptr) call.fail("a game text handle that createVarString never made");
        prompt.text = text->text;
    });
    host.registerNative("setPromptGroup", 0x2F11D3A254169EA4, {3}, [&prompts](Call& call) {
        GamePrompt& prompt = beingRegistered(call, prompts);
        prompt.group = call.i32(1);
        prompt.groupTab = call.i32(2);
    });
    host.registerNative("setPromptPressMode", 0xCC6656799977741B, {2},
                        [&prompts](Call& call) { setMode(call, prompts, PromptMode::press); });
    host.registerNative("setPromptHoldMode", 0x94073D5CA3F16B7B, {2},
                        [&prompts](Call& call) { setMode(call, prompts, PromptMode::hold); });
    host.registerNative("setPromptStandardHoldMode", 0x74C7D7B72ED0D3CF, {2},
                        [&prompts](Call& call) { setMode(call, prompts, PromptMode::standardHold); });
    host.registerNative("setPromptAttribute", 0x560E76D5E2E1803F, {3}, [&prompts](Call& call) {
        GamePrompt& prompt = beingRegistered(call, prompts);
        prompt.attributes[call.i32(1)] = call.flag(2);
    });
    host.registerNative("endPromptRegistration", 0xF7AA2696A22AD8B9, {1}, [&prompts](Call& call) {
        GamePrompt& prompt = beingRegistered(call, prompts);
        // Without either the prompt could never complete.
        if (!prompt.hasControl) call.fail(named(prompt.handle) + " has no control");
        if (prompt.mode == PromptMode::none) call.fail(named(prompt.handle) + " has no mode");
        prompts.endRegistration(prompt);
    });

    host.registerNative("setPromptEnabled", 0x8A0FB4D03A630D21, {2},
                        [&prompts](Call& call) { usable(call, prompts).enabled = call.flag(1); });
    host.registerNative("setPromptVisible", 0x71215ACCFDE075EE, {2},
                        [&prompts](Call& call) { usable(call, prompts).visible = call.flag(1); });
    // Asked of a prompt of another mode, the game answers false, as it does here.
    host.registerNative("hasPromptPressCompleted", 0xC92AC953F0A982AE, {2}, [&prompts](Call& call) {
        GamePrompt& prompt = usable(call, prompts);
        call.only(1, 0, "the press's index");
        const bool completed = prompt.mode == PromptMode::press && prompt.pressCompleted;
        prompts.asked(prompt, completed);
        call.returns(completed);
    });
    host.registerNative("hasPromptHoldCompleted", 0xE0F65F0640EF0617, {1}, [&prompts](Call& call) {
        GamePrompt& prompt = usable(call, prompts);
        const bool holds = prompt.mode == PromptMode::hold || prompt.mode == PromptMode::standardHold;
        const bool completed = holds && prompts.holdCompleted(prompt);
        prompts.asked(prompt, completed);
        call.returns(completed);
    });
}

}  // namespace sim
