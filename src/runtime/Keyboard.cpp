#include "runtime/Keyboard.h"

#include "runtime/Platform.h"

#include <array>

namespace tollmere {

namespace {
std::array<KeyState, kKeyCount> keys{};
const KeyState kNoKey{};
}  // namespace

void recordKey(std::uint32_t key, std::int32_t isWithAlt, std::int32_t wasDownBefore, std::int32_t isUpNow) {
    if (key >= kKeyCount) return;
    keys[key] = KeyState{platform::tickCount(), isWithAlt, wasDownBefore, isUpNow};
}

const KeyState& keyState(std::uint32_t key) { return key < kKeyCount ? keys[key] : kNoKey; }

}  // namespace tollmere
