#pragma once
// The game's name hash: Jenkins one-at-a-time over the lower-cased name.

#include <cstdint>
#include <string_view>

namespace sim {

constexpr std::uint32_t hashOf(std::string_view name) {
    std::uint32_t hash = 0;
    for (char c : name) {
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        hash += static_cast<std::uint8_t>(lower);
        hash += hash << 10;
        hash ^= hash >> 6;
    }
    hash += hash << 3;
    hash ^= hash >> 11;
    hash += hash << 15;
    return hash;
}

static_assert(hashOf("rowboat") == 0x9FD6BA58u);

}  // namespace sim
