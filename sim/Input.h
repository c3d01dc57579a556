#pragma once
// The player's pad, scripted frame by frame. Controls are named by the game's control names
// ("INPUT_CONTEXT_X", through hashOf) or given as hashes (0xC7B5340A).
//
// When a scripted press is seen: every call here takes effect when the next frame begins, never in
// the frame in progress, so what the script reads stays the same for the whole of a frame.
//
//     frame N runs (the script, or a test calling plug-in code right after runFrame)
//     input.press("INPUT_CONTEXT_Y");         // scheduled for frame N + 1
//     host.runFrame();                        // frame N + 1: down and just pressed; the script sees it
//     host.runFrame();                        // frame N + 2: up again
//
// hold(control, k) called in frame N keeps the control down in frames N + 1 to N + k; release
// called in frame N makes it up from frame N + 1 on. A control down in two frames in a row is one
// press, as on a real pad: a press or hold scheduled for the frame right after the control was
// down continues that hold and is not pressed anew. Let a frame pass with the control up to press
// it again.
//
// Player control (World::player.control) is not applied here: the control natives decide what a
// disabled control answers.

#include "Hash.h"

#include <cstdint>
#include <map>
#include <string_view>

namespace sim {

class Input {
  public:
    void press(std::uint32_t control) { hold(control, 1); }
    void press(std::string_view name) { press(hashOf(name)); }
    // Down for that many frames from the next frame on; replaces whatever was scheduled.
    void hold(std::uint32_t control, int frames);
    void hold(std::string_view name, int frames) { hold(hashOf(name), frames); }
    void release(std::uint32_t control);
    void release(std::string_view name) { release(hashOf(name)); }

    // The pad in the frame in progress.
    bool isDown(std::uint32_t control) const;
    bool isDown(std::string_view name) const { return isDown(hashOf(name)); }
    // Down in this frame and up in the one before.
    bool justPressed(std::uint32_t control) const;
    bool justPressed(std::string_view name) const { return justPressed(hashOf(name)); }
    // Frames the control has been down, this one included; 0 when it is up.
    int heldFrames(std::uint32_t control) const;
    int heldFrames(std::string_view name) const { return heldFrames(hashOf(name)); }

    // The game reads the pad as a frame begins.
    void beginFrame(int frame);

  private:
    struct Schedule {
        int firstFrame = 0;  // down from this frame
        int lastFrame = 0;   // to this one, inclusive
    };

    int frame_ = 0;
    std::map<std::uint32_t, Schedule> scheduled_;
    std::map<std::uint32_t, int> downSince_;  // controls down in this frame, with the frame their press began
};

}  // namespace sim
