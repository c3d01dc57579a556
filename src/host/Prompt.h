#pragma once
// One game prompt: a short text with a control glyph that completes when the player presses or
// holds the control. Registered once at construction and never removed; the plug-in keeps its
// own view of the prompt's state, pushes it to the game, and polls once a frame.

#include "host/Types.h"

#include <cstdint>

namespace tollmere {

enum class PromptMode : std::uint32_t {
    press = 0,                     // reports every frame a press completes
    hold = 1,                      // reports every frame the game reports a completed hold
    holdOnce = 2,                  // reports a completed hold once
    standardHoldOnce = 3,          // the game's standard hold, reported once
};

class Prompt {
public:
    // Registers the prompt with the game; it stays invisible until the owner shows it (owners
    // hide it right after construction).
    Prompt(const char* text, Hash control, PromptMode mode);
    Prompt(const Prompt&) = delete;
    Prompt& operator=(const Prompt&) = delete;
    ~Prompt();

    void hide();
    void show();
    void setEnabled(bool value);
    // While armed and not shown, the prompt is enabled but invisible; holding its control for more
    // than 30 polls in all makes it appear.
    void setArmedWhileHidden(bool value);
    // True when the player activated the prompt in this frame. Owners poll once a frame, and only
    // prompts they currently offer.
    bool poll();

    PromptHandle handle() const { return handle_; }

    // A wait inside an operation (a fade, a model load, the robbery's set-up) lets game frames go
    // by with nobody polling: a hold the game completes meanwhile is reported and over before the
    // next poll, and the player sees it fill with nothing coming of it. So before such a wait every
    // prompt the game could complete is disabled there, and the frame loop gives them back.
    static void withholdAll();
    static void restoreWithheld();

private:
    void pushState();
    bool enabledInGame() const { return shown_ ? enabled_ : armedWhileHidden_; }

    PromptHandle handle_ = 0;
    std::int32_t holdCounter_ = 0;
    bool enabled_ = true;
    bool shown_{};  // every owner hides or shows its prompts as it is made
    Hash control_ = 0;
    PromptMode mode_;
    bool completionLatch_ = false;
    bool armedWhileHidden_ = false;
    bool appearedWhileArmed_{};  // made visible by a long enough hold while armed; set on arming

    // Every prompt, newest first, for withholdAll.
    static Prompt* first_;
    static bool anyWithheld_;
    Prompt* next_ = nullptr;
    bool withheld_ = false;  // disabled in the game for a wait; the owner's view is unchanged
    // What the game was last told, so that an unchanged state is not told again.
    bool pushed_ = false;
    bool enabledPushed_ = false;
    bool visiblePushed_ = false;
};

}  // namespace tollmere
