#pragma once
// Help texts and money toasts through the game's feed.

#include <cstdint>

namespace tollmere {

// Shows a money change: a negative amount (cents) is shown as its magnitude in red.
void showMoneyChange(std::int32_t cents, std::int32_t durationMs);

// Queues a help text for the end of the frame; a later call in the same frame replaces it. At most
// 499 characters are kept.
void showHelpText(const char* text, std::int32_t durationMs);

// The end-of-frame step: posts the queued help text once, or does nothing when none is queued.
void postPendingHelpText();

}  // namespace tollmere
