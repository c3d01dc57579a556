#include "Prompts.h"

namespace sim {

std::uint32_t Prompts::beginRegistration() {
    const std::uint32_t handle = life_.issue();
    prompts_[handle].handle = handle;
    registering_ = handle;
    return handle;
}

void Prompts::endRegistration(GamePrompt& prompt) {
    prompt.registered = true;
    if (registering_ == prompt.handle) registering_ = 0;
}

GamePrompt* Prompts::find(std::uint32_t handle) {
    auto it = prompts_.find(handle);
    return it == prompts_.end() ? nullptr : &it->second;
}

const GamePrompt* Prompts::find(std::uint32_t handle) const {
    auto it = prompts_.find(handle);
    return it == prompts_.end() ? nullptr : &it->second;
}

GamePrompt& Prompts::use(std::uint32_t handle) {
    GamePrompt* prompt = life_.use(prompts_, handle);
    if (prompt == nullptr) life_.refuse(handle);
    return *prompt;
}

bool Prompts::holdCompleted(const GamePrompt& prompt) const {
    return prompt.holdCompletedAtFrame >= 0 && frame_ - prompt.holdCompletedAtFrame < holdReportFrames;
}

void Prompts::asked(GamePrompt& prompt, bool completed) {
    prompt.asked = true;
    if (!completed || prompt.unreadSinceFrame < 0) return;
    prompt.unreadSinceFrame = -1;
    ++prompt.readCompletions;
}

int Prompts::reportFrames(const GamePrompt& prompt) const {
    return prompt.mode == PromptMode::press ? 1 : holdReportFrames;
}

const GamePrompt* Prompts::endFrameUnread() {
    for (auto& [handle, prompt] : prompts_) {
        if (prompt.unreadSinceFrame < 0) continue;
        // Judged on the state the frame leaves, as the game sees it: hidden and shown again within
        // the frame is still on offer.
        if (!prompt.visible || !prompt.enabled) {
            prompt.unreadSinceFrame = -1;
        } else if (frame_ - prompt.unreadSinceFrame + 1 >= reportFrames(prompt)) {
            prompt.unreadSinceFrame = -1;
            if (prompt.asked) return &prompt;
        }
    }
    return nullptr;
}

std::vector<const GamePrompt*> Prompts::visible() const {
    std::vector<const GamePrompt*> found;
    for (const auto& [handle, prompt] : prompts_) {
        if (prompt.registered && prompt.visible) found.push_back(&prompt);
    }
    return found;
}

const GamePrompt* Prompts::withText(std::string_view text) const {
    for (const auto& [handle, prompt] : prompts_) {
        if (prompt.registered && prompt.text == text) return &prompt;
    }
    return nullptr;
}

bool Prompts::isVisible(std::uint32_t handle) const {
    const GamePrompt* prompt = find(handle);
    return prompt != nullptr && prompt->registered && prompt->visible;
}

bool Prompts::isEnabled(std::uint32_t handle) const {
    const GamePrompt* prompt = find(handle);
    return prompt != nullptr && prompt->registered && prompt->enabled;
}

int Prompts::holdTimeOf(const GamePrompt& prompt) const {
    return prompt.mode == PromptMode::standardHold ? standardHoldMs : holdMs;
}

void Prompts::beginFrame(int frame, int frameStepMs, const Input& input) {
    frame_ = frame;
    for (auto& [handle, prompt] : prompts_) {
        prompt.pressCompleted = false;
        if (!prompt.registered) continue;
        const bool live = prompt.visible && prompt.enabled;
        const bool down = input.isDown(prompt.control);
        switch (prompt.mode) {
            case PromptMode::press:
                prompt.pressCompleted = live && input.justPressed(prompt.control);
                if (prompt.pressCompleted) {
                    ++prompt.completions;
                    prompt.unreadSinceFrame = frame;
                }
                break;
            case PromptMode::hold:
            case PromptMode::standardHold:
                if (!down) prompt.awaitingRelease = false;
                if (!live || !down || prompt.awaitingRelease) {
                    prompt.heldMs = 0;
                    break;
                }
                prompt.heldMs += frameStepMs;
                if (prompt.heldMs >= holdTimeOf(prompt)) {
                    prompt.heldMs = 0;
                    prompt.awaitingRelease = true;
                    prompt.holdCompletedAtFrame = frame;
                    ++prompt.completions;
                    prompt.unreadSinceFrame = frame;
                }
                break;
            case PromptMode::none:
                break;
        }
    }
}

}  // namespace sim
