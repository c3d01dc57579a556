#pragma once

#include "Host.h"

#include <cstddef>
#include <span>

namespace tollmere::playtest {

// The calls every script made in the frame the world is in, oldest first: the record's tail.
inline std::span<const sim::CallRecord> callsThisFrame(const sim::Host& host, int frame) {
    const auto& calls = host.calls();
    std::size_t first = calls.size();
    while (first > 0 && calls[first - 1].frame == frame) --first;
    return std::span<const sim::CallRecord>(calls).subspan(first);
}

}  // namespace tollmere::playtest
