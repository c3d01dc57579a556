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
                if (prompt.pressCompleted) ++prompt.completions;
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
                }
                break;
            case PromptMode::none:
                break;
        }
    }
}

}  // namespace sim
