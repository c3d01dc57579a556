#pragma once
// One typed invoke over nativeInit / nativePush64 / nativeCall. Arguments become 64-bit slots
// and results are read back the way the host lays them out; feature code never touches slots.

#include "host/ScriptHost.h"
#include "host/Types.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace tollmere {

namespace detail {

template <typename T>
inline constexpr bool kSmallIntegral = std::is_integral_v<T> && sizeof(T) <= 4;

// How many 64-bit slots an argument of type T takes.
template <typename T>
inline constexpr int kSlotCount = std::is_same_v<T, Vec3> ? 3 : 1;

template <typename T>
void pushArg(T value) {
    if constexpr (std::is_same_v<T, bool>) {
        nativePush64(value ? 1u : 0u);
    } else if constexpr (kSmallIntegral<T>) {
        // Zero-extended, never sign-extended: -1 travels as 0x00000000FFFFFFFF.
        nativePush64(static_cast<std::uint32_t>(value));
    } else if constexpr (std::is_same_v<T, float>) {
        nativePush64(std::bit_cast<std::uint32_t>(value));
    } else if constexpr (std::is_same_v<T, TextHandle>) {
        nativePush64(static_cast<std::uint64_t>(value));
    } else if constexpr (std::is_same_v<T, Vec3>) {
        pushArg(value.x);
        pushArg(value.y);
        pushArg(value.z);
    } else if constexpr (std::is_pointer_v<T>) {
        nativePush64(reinterpret_cast<std::uintptr_t>(value));
    } else {
        static_assert(sizeof(T) == 0, "no slot encoding for this argument type");
    }
}

template <typename R>
R readResult(const unsigned long long* slots) {
    if constexpr (std::is_void_v<R>) {
        return;
    } else if constexpr (std::is_same_v<R, bool>) {
        return static_cast<std::uint32_t>(slots[0]) != 0;
    } else if constexpr (kSmallIntegral<R>) {
        return static_cast<R>(static_cast<std::uint32_t>(slots[0]));
    } else if constexpr (std::is_same_v<R, float>) {
        return std::bit_cast<float>(static_cast<std::uint32_t>(slots[0]));
    } else if constexpr (std::is_same_v<R, TextHandle>) {
        return static_cast<TextHandle>(slots[0]);
    } else if constexpr (std::is_same_v<R, Vec3>) {
        return Vec3{readResult<float>(slots), readResult<float>(slots + 1), readResult<float>(slots + 2)};
    } else if constexpr (std::is_same_v<R, const char*>) {
        return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(slots[0]));
    } else {
        static_assert(sizeof(R) == 0, "no result decoding for this type");
    }
}

}  // namespace detail

template <typename R, typename... Args>
R invoke(std::uint64_t hash, Args... args) {
    nativeInit(hash);
    (detail::pushArg(args), ...);
    // The host reuses its result buffer, so the value is copied out before anything else runs.
    return detail::readResult<R>(nativeCall());
}

// One form of a native: its hash and the exact argument and result types of the call.
template <std::uint64_t Hash, typename Signature>
struct NativeForm;

template <std::uint64_t Hash, typename R, typename... Args>
struct NativeForm<Hash, R(Args...)> {
    static constexpr int kSlots = (0 + ... + detail::kSlotCount<Args>);
    R operator()(Args... args) const { return invoke<R>(Hash, args...); }
};

// A native with one or more call forms (createVarString takes three shapes of arguments).
template <std::uint64_t Hash, typename... Signatures>
struct Native : NativeForm<Hash, Signatures>... {
    static constexpr std::uint64_t kHash = Hash;
    using NativeForm<Hash, Signatures>::operator()...;
};

}  // namespace tollmere
