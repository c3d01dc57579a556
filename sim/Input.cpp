#include "Input.h"

#include <utility>

namespace sim {

void Input::hold(std::uint32_t control, int frames) {
    if (frames <= 0) {
        release(control);
        return;
    }
    scheduled_[control] = Schedule{frame_ + 1, frame_ + frames};
}

void Input::release(std::uint32_t control) {
    scheduled_.erase(control);
}

bool Input::isDown(std::uint32_t control) const {
    return downSince_.contains(control);
}

bool Input::justPressed(std::uint32_t control) const {
    auto it = downSince_.find(control);
    return it != downSince_.end() && it->second == frame_;
}

int Input::heldFrames(std::uint32_t control) const {
    auto it = downSince_.find(control);
    return it == downSince_.end() ? 0 : frame_ - it->second + 1;
}

void Input::beginFrame(int frame) {
    frame_ = frame;
    std::map<std::uint32_t, int> down;
    for (auto it = scheduled_.begin(); it != scheduled_.end();) {
        const auto& [control, schedule] = *it;
        if (frame > schedule.lastFrame) {
            it = scheduled_.erase(it);
            continue;
        }
        if (frame >= schedule.firstFrame) {
            // Down in the frame before as well: the same press goes on.
            auto before = downSince_.find(control);
            down[control] = before != downSince_.end() ? before->second : frame;
        }
        ++it;
    }
    downSince_ = std::move(down);
}

}  // namespace sim
