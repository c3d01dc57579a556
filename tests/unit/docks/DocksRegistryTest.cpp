// The dock table: blips, the nearest-dock and id look-ups, and the per-frame switches.

#include "docks/DocksRegistry.h"

#include "data/DataFiles.h"
#include "host/GameHelpers.h"
#include "unit/host/DirectGame.h"

#include <cmath>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace tollmere::testing {
namespace {

constexpr Hash kDisabledModifier = 0x2B30E11F;

class DocksRegistryTest : public DirectGameTest {
  protected:
    DocksRegistryTest() : lang("unused"), savedLang(LangData) {
        lang.setString("blips.fence", "Fence");
        LangData = &lang;
    }
    // The simulated world outlives the test when cases share a process: take the blips back.
    ~DocksRegistryTest() override {
        LangData = savedLang;
        if (registry_) {
            for (const auto& d : registry_->docks()) {
                world.blips.erase(d->blip());
            }
        }
    }

    const Dock& dock(int id) {
        const Dock* found = registry().findDockById(id);
        if (found == nullptr) throw std::runtime_error("no dock " + std::to_string(id));
        return *found;
    }
    // Built on first use, after the language file is in place.
    DocksRegistry& registry() {
        if (!registry_) registry_ = std::make_unique<DocksRegistry>();
        return *registry_;
    }

    DictDataFile lang;

  private:
    DictDataFile* savedLang;
    std::unique_ptr<DocksRegistry> registry_;
};

// Catches a second blip from the second pass, a blip at the mooring point instead of the pier, and
// the wrong style, sprite or name.
TEST_F(DocksRegistryTest, EveryDockGetsOneNamedBlipAtItsPier) {
    const auto blipsBefore = world.blips.size();
    const auto createdBefore = callCount("createBlipForPoint");

    const auto& docks = registry().docks();

    ASSERT_EQ(docks.size(), 15u);
    EXPECT_EQ(world.blips.size() - blipsBefore, 15u);
    EXPECT_EQ(callCount("createBlipForPoint") - createdBefore, 15u);
    std::set<Blip> handles;
    for (const auto& d : docks) {
        ASSERT_EQ(world.blips.count(d->blip()), 1u) << d->name();
        const sim::Blip& blip = world.blips.at(d->blip());
        const Vec3 pier = d->pierPoint().position;
        EXPECT_EQ(blip.point, (sim::Vec3{pier.x, pier.y, pier.z})) << d->name();
        EXPECT_EQ(blip.style, 0xB04092F8u);
        EXPECT_EQ(blip.sprite, 0x778FEFC8u);
        EXPECT_EQ(blip.name, "Fence");
        EXPECT_TRUE(blip.modifiers.empty());
        EXPECT_FALSE(d->isDisabled());
        handles.insert(d->blip());
    }
    EXPECT_EQ(handles.size(), 15u);
    EXPECT_EQ(docks.front()->id(), 1);
    EXPECT_STREQ(docks.back()->name(), "Caliga Hall");
}

// Catches a look-up that finds something for dock 10, gives Caliga Hall an id of another row, or
// swaps a dock's two points.
TEST_F(DocksRegistryTest, IdsSkipTenAndCaligaHallHasSixteen) {
    EXPECT_EQ(registry().findDockById(10), nullptr);
    EXPECT_EQ(registry().findDockById(0), nullptr);
    EXPECT_STREQ(dock(16).name(), "Caliga Hall");
    EXPECT_STREQ(dock(11).name(), "Quaker's Cove");
    EXPECT_EQ(dock(13).pierPoint().position, (Vec3{-2018.19f, -3047.61f, -11.2056f}));
    EXPECT_EQ(dock(13).mooringPoint().heading, 195.0f);
}

// Catches "nearer or as near" replacing the best, which hands a tie to the later dock.
TEST_F(DocksRegistryTest, OfEquallyNearDocksTheEarlierWins) {
    struct Tie {
        int earlier;
        int later;
    };
    for (const Tie tie : {Tie{3, 16}, Tie{9, 16}}) {
        const Vec3 a = dock(tie.earlier).pierPoint().position;
        const Vec3 b = dock(tie.later).pierPoint().position;
        const Vec3 between = (a + b) * 0.5f;
        ASSERT_EQ(distanceBetweenPoints(between, a), distanceBetweenPoints(between, b)) << tie.earlier;

        const Dock* found = registry().findNearestDock(between, 0.0f);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->id(), tie.earlier);
    }
}

// Catches a limit that excludes a dock exactly at it, one that lets a farther dock through, and a
// distance measured to the mooring point.
TEST_F(DocksRegistryTest, ADockExactlyAtTheLimitIsFoundAndOneAHairFartherIsNot) {
    const Vec3 pier = dock(2).pierPoint().position;
    const Vec3 player = pier + Vec3{3.0f, 4.0f, 1.5f};
    const float distance = distanceBetweenPoints(player, pier);

    EXPECT_EQ(registry().findNearestDock(player, distance), &dock(2));
    EXPECT_EQ(registry().findNearestDock(player, std::nextafter(distance, 0.0f)), nullptr);
    EXPECT_EQ(registry().findNearestDock(pier, 0.01f), &dock(2));
}

// Catches a limit of 0 or less taken literally, which would find nothing anywhere.
TEST_F(DocksRegistryTest, ALimitOfZeroOrLessFindsTheNearestDockHoweverFar) {
    const Vec3 farNorthEast{100000.0f, 100000.0f, 0.0f};
    for (const float noLimit : {0.0f, -1.0f}) {
        const Dock* found = registry().findNearestDock(farNorthEast, noLimit);
        ASSERT_NE(found, nullptr) << noLimit;
        EXPECT_STREQ(found->name(), "Annesburg");
    }
    EXPECT_EQ(registry().findNearestDock(farNorthEast, 1000.0f), nullptr);
}

// Catches a switch that toggles instead of setting, leaves a flag or modifier behind, touches the
// blips in any other way, or calls more than one native per dock on its every-frame path.
TEST_F(DocksRegistryTest, DisablingOnConsecutiveFramesHoldsAndOneEnableClearsEverything) {
    const auto& docks = registry().docks();
    auto switchAndCheckCalls = [&](void (DocksRegistry::*switchDocks)(), const char* native) {
        const std::size_t before = host.calls().size();
        (registry().*switchDocks)();
        const auto& calls = host.calls();
        ASSERT_EQ(calls.size() - before, docks.size()) << native;
        for (std::size_t i = 0; i < docks.size(); ++i) {
            const sim::CallRecord& call = calls[before + i];
            EXPECT_STREQ(call.name, native);
            EXPECT_EQ(call.args, (std::vector<std::uint64_t>{docks[i]->blip(), kDisabledModifier})) << native;
        }
    };

    switchAndCheckCalls(&DocksRegistry::disableAllDocks, "enableBlipModifier");
    host.runFrame();
    switchAndCheckCalls(&DocksRegistry::disableAllDocks, "enableBlipModifier");
    for (const auto& d : docks) {
        EXPECT_TRUE(d->isDisabled()) << d->name();
        EXPECT_EQ(world.blips.at(d->blip()).modifiers, std::set<std::uint32_t>{kDisabledModifier});
    }

    host.runFrame();
    switchAndCheckCalls(&DocksRegistry::enableAllDocks, "disableBlipModifier");
    for (const auto& d : docks) {
        EXPECT_FALSE(d->isDisabled()) << d->name();
        EXPECT_TRUE(world.blips.at(d->blip()).modifiers.empty()) << d->name();
    }
}

}  // namespace
}  // namespace tollmere::testing
