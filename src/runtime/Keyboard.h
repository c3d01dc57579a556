#pragma once
// The last keyboard message the host delivered for each key. The handler may run outside the
// script fiber, so it touches nothing but this table and calls no natives.

#include <cstddef>
#include <cstdint>

namespace tollmere {

struct KeyState {
    std::uint32_t time = 0;  // tick count at the key's last message
    std::int32_t isWithAlt = 0;
    std::int32_t wasDownBefore = 0;
    std::int32_t isUpNow = 0;
};

inline constexpr std::uint32_t kKeyCount = 255;  // key codes 0 to 254

void recordKey(std::uint32_t key, std::int32_t isWithAlt, std::int32_t wasDownBefore, std::int32_t isUpNow);
const KeyState& keyState(std::uint32_t key);

}  // namespace tollmere
