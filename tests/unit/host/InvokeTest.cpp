// The slot encoding between the plug-in and the host, and the native declarations themselves.

#include "unit/host/DirectGame.h"
#include "host/Natives.h"

#include <bit>
#include <cstring>

namespace tollmere::testing {
namespace {

using ::testing::ElementsAre;

// Catches a declared native that the game does not answer, or answers with another arity: in the
// game that is a crash or garbage, so every entry is checked against the simulated game.
TEST(NativeDeclarations, EveryDeclaredNativeIsAnsweredWithTheSameArgumentCount) {
    const sim::Host& host = sim::Host::instance();
    for (const native::NativeInfo& declared : native::kDeclaredNatives) {
        const sim::NativeHandler* handler = host.handler(declared.hash);
        ASSERT_NE(handler, nullptr) << declared.name << " has no handler";
        EXPECT_EQ(handler->name, declared.name) << "the hash of " << declared.name << " belongs to " << handler->name;
        EXPECT_GE(declared.slotCounts[0], 0) << declared.name << " is described with no call form";
        for (int slots : declared.slotCounts) {
            if (slots < 0) break;
            EXPECT_THAT(handler->argCounts, ::testing::Contains(slots)) << declared.name;
        }
    }
}

// Catches two declarations sharing a hash, one of which would then call the wrong native.
TEST(NativeDeclarations, HashesAreUnique) {
    for (const auto& a : native::kDeclaredNatives) {
        for (const auto& b : native::kDeclaredNatives) {
            if (&a != &b) EXPECT_NE(a.hash, b.hash) << a.name << " and " << b.name;
        }
    }
}

// Catches sign extension of negative 32-bit arguments and floats pushed as doubles.
TEST_F(DirectGameTest, SmallValuesAreZeroExtendedAndFloatsKeepTheirBits) {
    native::getRandomIntInRange(-5, 7);
    EXPECT_THAT(lastArgs("getRandomIntInRange"), ElementsAre(0xFFFFFFFBull, 7ull));

    native::getDistanceBetweenCoords(Vec3{1.5f, -2.0f, 0.0f}, Vec3{}, true);
    EXPECT_THAT(lastArgs("getDistanceBetweenCoords"),
                ElementsAre(std::bit_cast<std::uint32_t>(1.5f), std::bit_cast<std::uint32_t>(-2.0f), 0ull, 0ull, 0ull,
                            0ull, 1ull));
}

// Catches a pointer or a text handle cut to 32 bits on the way to the game.
TEST_F(DirectGameTest, PointersAndTextHandlesTravelAsWholeSlots) {
    const char* name = "QY_RB_boatValue";
    native::registerDecorator(name, 3);
    EXPECT_EQ(lastArgs("registerDecorator")[0], reinterpret_cast<std::uintptr_t>(name));

    const TextHandle text = native::createVarString(10, "LITERAL_STRING", "Hello");
    EXPECT_NE(static_cast<std::uint64_t>(text) >> 32, 0u) << "the game's handles use the whole slot";
    native::setNoticeText(text);
    EXPECT_EQ(world.stagedNotice, "Hello");
}

// Catches a point read from the wrong slots (x, y, z each sit in their own 8-byte slot).
TEST_F(DirectGameTest, PointsAreReadFromThreeSlots) {
    world.playerPed().position = sim::Vec3{10.25f, -3.5f, 40.0f};
    const Vec3 position = native::getEntityCoords(world.player.ped, true, false);
    EXPECT_EQ(position, (Vec3{10.25f, -3.5f, 40.0f}));
}

// Catches hashes that differ from the game's: every model, control and decorator is found by it.
TEST_F(DirectGameTest, TheGamesNameHashIgnoresCase) {
    EXPECT_EQ(native::hashOf("rowboat"), 0x9FD6BA58u);
    EXPECT_EQ(native::hashOf("ROWBOAT"), 0x9FD6BA58u);
}

}  // namespace
}  // namespace tollmere::testing
