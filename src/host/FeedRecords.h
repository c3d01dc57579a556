#pragma once
// Records handed to the game's feed natives by address. The game reads every field at a fixed
// 8-byte boundary and the bytes between fields must be zero, so every byte is a named member
// (padding would be left undefined) and the layout is pinned by the asserts below each record.

#include "host/Types.h"

#include <cstddef>
#include <cstdint>

namespace tollmere {

struct HelpTextDuration {
    std::int32_t milliseconds{};  // set before every post
    std::uint32_t unused4 = 0;
    std::uint64_t unused8 = 0;
};
static_assert(sizeof(HelpTextDuration) == 16);

struct HelpTextRecord {
    std::uint64_t unused0 = 0;
    TextHandle text{};
};
static_assert(sizeof(HelpTextRecord) == 16);
static_assert(offsetof(HelpTextRecord, text) == 8);

struct MoneyToastDuration {
    std::int32_t milliseconds{};  // set before every post
    std::uint32_t unused4 = 0;
    std::uint64_t unused8 = 0;
    std::uint64_t unused16 = 0;
    std::uint64_t unused24 = 0;
};
static_assert(sizeof(MoneyToastDuration) == 32);

struct MoneyToastRecord {
    std::uint64_t unused0 = 0;
    TextHandle amount{};
    const char* textureDictionary = nullptr;
    Hash texture{};  // set before every post
    std::uint32_t unused28 = 0;
    std::uint64_t unused32 = 0;
    Hash colour{};  // set before every post
    std::uint32_t unused44 = 0;
    std::uint64_t unused48 = 0;
    std::uint64_t unused56 = 0;
    TextHandle amountAgain{};
};
static_assert(sizeof(MoneyToastRecord) == 72);
static_assert(offsetof(MoneyToastRecord, amount) == 8);
static_assert(offsetof(MoneyToastRecord, textureDictionary) == 16);
static_assert(offsetof(MoneyToastRecord, texture) == 24);
static_assert(offsetof(MoneyToastRecord, colour) == 40);
static_assert(offsetof(MoneyToastRecord, amountAgain) == 64);

}  // namespace tollmere
