#pragma once
// The game's button prompts: each one registered by a script between beginPromptRegistration and
// endPromptRegistration, then shown, enabled and asked for completions.
//
// The game works a frame's completions out once, as the frame begins: from the pad of that frame
// (Input) and each prompt's visible and enabled state as the scripts left it at the end of the
// frame before. A prompt hidden and shown again within one frame therefore keeps its hold going,
// and a prompt shown in a frame can first complete in the next. Player control does not matter:
// prompts read the pad even while the game has the player's controls disabled.
//
// - Press mode completes in the frame its control is pressed (down after being up) while the
//   prompt is visible and enabled; hasPromptPressCompleted answers true in that frame only.
// - Hold mode and the standard hold complete once the control has been down for holdMs, or
//   standardHoldMs, of frames in which the prompt was visible and enabled; the frame the control
//   goes down counts as one frame step. Releasing the control or the prompt ceasing to be visible
//   or enabled starts the hold over. hasPromptHoldCompleted then answers true for holdReportFrames
//   frames, the completing one included; the next completion needs the control released first.
//
// A completion the game reports is the player's act, and the script must read it: once it has
// asked after a prompt at all, every completion of that prompt has to be asked after while it is
// reported, unless the script hides or disables the prompt first (it withdrew the offer). A prompt
// the script never asks after is a label (the shop's buy prompt only shows which control selects).
// World::checkFrame fails the run when a report ends unread.

#include "Handles.h"
#include "Input.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

enum class PromptMode { none, press, hold, standardHold };

struct GamePrompt {
    std::uint32_t handle = 0;
    bool registered = false;  // endPromptRegistration ran: usable, and closed to set calls

    bool hasControl = false;
    std::uint32_t control = 0;
    std::string text;  // decoded when setPromptText ran
    std::int32_t group = 0;
    std::int32_t groupTab = 0;
    PromptMode mode = PromptMode::none;
    std::map<std::int32_t, bool> attributes;
    // A registered prompt shows and takes input until a script says otherwise.
    bool enabled = true;
    bool visible = true;

    // The game's side, worked out as each frame begins.
    bool pressCompleted = false;
    int heldMs = 0;
    bool awaitingRelease = false;
    int holdCompletedAtFrame = -1;
    int completions = 0;  // presses or holds completed so far

    // What the script made of them.
    bool asked = false;         // it has asked this prompt's completion at least once
    int readCompletions = 0;    // completions it asked after while they were reported
    int unreadSinceFrame = -1;  // the frame an unread completion was first reported, -1 for none
};

class Prompts {
  public:
    // Tunable like the game's prompt settings; the defaults suit 33 ms frames.
    int holdMs = 500;
    int standardHoldMs = 1000;
    int holdReportFrames = 3;

    // For the natives.
    std::uint32_t beginRegistration();
    void endRegistration(GamePrompt& prompt);
    std::uint32_t registering() const { return registering_; }  // 0 when none is open
    GamePrompt* find(std::uint32_t handle);
    // The prompt a native names, or the refusal (Handles.h).
    GamePrompt& use(std::uint32_t handle);
    // Whether the game reports a completed hold in this frame.
    bool holdCompleted(const GamePrompt& prompt) const;
    // The script asked the prompt's completion and was told `completed`.
    void asked(GamePrompt& prompt, bool completed);

    // For tests and the demo.
    const GamePrompt* find(std::uint32_t handle) const;
    // The registered prompts that are visible now, in the order they were registered.
    std::vector<const GamePrompt*> visible() const;
    // The first registered prompt with exactly this text, or nullptr.
    const GamePrompt* withText(std::string_view text) const;
    bool isVisible(std::uint32_t handle) const;
    bool isEnabled(std::uint32_t handle) const;
    std::size_t count() const { return prompts_.size(); }

    void beginFrame(int frame, int frameStepMs, const Input& input);
    // As the frame ends: forgets completions of prompts the script withdrew and returns one whose
    // report ended in this frame without the script reading it, or nullptr.
    const GamePrompt* endFrameUnread();
    int reportFrames(const GamePrompt& prompt) const;

  private:
    int holdTimeOf(const GamePrompt& prompt) const;

    std::map<std::uint32_t, GamePrompt> prompts_;
    HandleLife life_{"prompt", 0x4A01};
    std::uint32_t registering_ = 0;
    int frame_ = 0;
};

}  // namespace sim
