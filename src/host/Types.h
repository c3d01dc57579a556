#pragma once
// Handles and values as the game passes them. Every handle is an unsigned 32-bit game value and
// 0 means none.

#include <cstddef>
#include <cstdint>

namespace tollmere {

using Entity = std::uint32_t;
using Ped = Entity;
using Vehicle = Entity;
using Blip = std::uint32_t;
using PromptHandle = std::uint32_t;
using Camera = std::uint32_t;
using Hash = std::uint32_t;
using Player = std::uint32_t;

// What createVarString returns: a 64-bit value that only other natives interpret.
enum class TextHandle : std::uint64_t {};

// A point or direction in the layout natives return it in: each float in the low half of its own
// 64-bit slot.
struct Vec3 {
    alignas(8) float x = 0.0f;
    alignas(8) float y = 0.0f;
    alignas(8) float z = 0.0f;

    friend bool operator==(const Vec3& a, const Vec3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
    friend Vec3 operator+(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
    friend Vec3 operator-(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
    friend Vec3 operator*(const Vec3& a, float k) { return {a.x * k, a.y * k, a.z * k}; }
};
static_assert(sizeof(Vec3) == 24);
static_assert(offsetof(Vec3, y) == 8 && offsetof(Vec3, z) == 16);

}  // namespace tollmere
