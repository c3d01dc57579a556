#include "host/Prompt.h"

#include "host/Natives.h"

namespace tollmere {

namespace {
// Polls with the control held before a hidden, armed prompt shows itself.
constexpr std::int32_t kArmedHoldPolls = 30;
constexpr int kPromptAttribute = 18;
}  // namespace

Prompt* Prompt::first_ = nullptr;
bool Prompt::anyWithheld_ = false;

Prompt::Prompt(const char* text, Hash control, PromptMode mode)
    : control_(control), mode_(mode), next_(first_) {
    first_ = this;
    handle_ = native::beginPromptRegistration();
    native::setPromptControl(handle_, control_);
    native::setPromptText(handle_, native::createVarString(10, "LITERAL_STRING", text));
    native::setPromptGroup(handle_, 0, 0);
    switch (mode_) {
        case PromptMode::press:
            native::setPromptPressMode(handle_, true);
            break;
        case PromptMode::hold:
        case PromptMode::holdOnce:
            native::setPromptHoldMode(handle_, true);
            break;
        case PromptMode::standardHoldOnce:
            native::setPromptStandardHoldMode(handle_, true);
            break;
    }
    native::setPromptAttribute(handle_, kPromptAttribute, true);
    native::endPromptRegistration(handle_);
}

Prompt::~Prompt() {
    for (Prompt** link = &first_; *link != nullptr; link = &(*link)->next_) {
        if (*link == this) {
            *link = next_;
            break;
        }
    }
}

void Prompt::withholdAll() {
    for (Prompt* prompt = first_; prompt != nullptr; prompt = prompt->next_) {
        if (prompt->withheld_ || !prompt->enabledInGame()) continue;
        native::setPromptEnabled(prompt->handle_, false);
        prompt->enabledPushed_ = false;
        prompt->withheld_ = true;
        anyWithheld_ = true;
    }
}

void Prompt::restoreWithheld() {
    if (!anyWithheld_) return;
    anyWithheld_ = false;
    for (Prompt* prompt = first_; prompt != nullptr; prompt = prompt->next_) {
        if (!prompt->withheld_) continue;
        native::setPromptEnabled(prompt->handle_, true);
        prompt->enabledPushed_ = true;
        prompt->withheld_ = false;
    }
}

void Prompt::hide() {
    shown_ = false;
    armedWhileHidden_ = false;
    appearedWhileArmed_ = false;
    pushState();
}

void Prompt::show() {
    shown_ = true;
    armedWhileHidden_ = false;
    appearedWhileArmed_ = false;
    pushState();
}

void Prompt::setEnabled(bool value) {
    enabled_ = value;
    pushState();
}

void Prompt::setArmedWhileHidden(bool value) {
    if (value == armedWhileHidden_) return;
    armedWhileHidden_ = value;
    appearedWhileArmed_ = false;
    if (value) enabled_ = true;
    pushState();
}

// Owners hide or show their prompts every frame; only a change reaches the game.
void Prompt::pushState() {
    withheld_ = false;
    const bool enabled = enabledInGame();
    if (!pushed_ || enabled != enabledPushed_) {
        native::setPromptEnabled(handle_, enabled);
        enabledPushed_ = enabled;
    }
    if (!pushed_ || shown_ != visiblePushed_) {
        native::setPromptVisible(handle_, shown_);
        visiblePushed_ = shown_;
    }
    pushed_ = true;
}

bool Prompt::poll() {
    const bool showable = enabled_ && shown_;
    bool askCompletion = showable;
    if (armedWhileHidden_) {
        bool pressed = native::isDisabledControlPressed(0, control_);
        if (!pressed) pressed = native::isControlPressed(0, control_);
        if (!shown_ && pressed) {
            // Separate holds add up: the counter is only reset once the prompt appears. Once it is
            // in view its hold is asked after on every poll: the game's hold time is in
            // milliseconds, so the frame it completes in is not a fixed count of polls away.
            if (appearedWhileArmed_) {
                askCompletion = true;
            } else if (++holdCounter_ > kArmedHoldPolls) {
                holdCounter_ = 0;
                appearedWhileArmed_ = true;
                native::setPromptVisible(handle_, true);
                visiblePushed_ = true;
                askCompletion = true;
            }
        } else if (shown_ && !pressed) {
            native::setPromptVisible(handle_, false);
            visiblePushed_ = false;
            holdCounter_ = 0;
            return false;
        }
    }
    if (!askCompletion) return false;

    switch (mode_) {
        case PromptMode::press:
            return native::hasPromptPressCompleted(handle_, 0);
        case PromptMode::hold:
            return native::hasPromptHoldCompleted(handle_);
        case PromptMode::holdOnce:
        case PromptMode::standardHoldOnce:
            break;
    }
    // The game keeps reporting a completed hold for several frames; it counts once.
    if (native::hasPromptHoldCompleted(handle_)) {
        if (completionLatch_) return false;
        completionLatch_ = true;
        return true;
    }
    completionLatch_ = false;
    return false;
}

}  // namespace tollmere
