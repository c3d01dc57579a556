// The nearest dock is asked every frame from where the player stands, mostly from the same place:
// asked again, the answer must not change, whatever the limit.

#include "docks/DocksRegistry.h"

#include "data/DataFiles.h"
#include "host/GameHelpers.h"
#include "unit/host/DirectGame.h"

namespace tollmere::testing {
namespace {

class NearestDockAskedAgainTest : public DirectGameTest {
  protected:
    NearestDockAskedAgainTest() : lang("unused") { LangData = &lang; }
    ~NearestDockAskedAgainTest() override { LangData = nullptr; }

    DictDataFile lang;
};

TEST_F(NearestDockAskedAgainTest, TheSameQuestionFromTheSamePlaceGetsTheSameAnswer) {
    DocksRegistry registry;
    const Dock* second = registry.findDockById(2);
    ASSERT_NE(second, nullptr);
    const Vec3 player = second->pierPoint().position + Vec3{3.0f, 4.0f, 1.5f};
    const float atLimit = distanceBetweenPoints(player, second->pierPoint().position);
    const Vec3 farAway{100000.0f, 100000.0f, 0.0f};
    struct Question {
        Vec3 from;
        float limit;
        bool found;
    };
    for (const Question q : {Question{player, atLimit, true}, Question{farAway, 0.0f, true},
                             Question{farAway, 1000.0f, false}}) {
        const Dock* first = registry.findNearestDock(q.from, q.limit);
        EXPECT_EQ(first != nullptr, q.found) << q.limit;
        EXPECT_EQ(registry.findNearestDock(q.from, q.limit), first) << q.limit;
    }
}

}  // namespace
}  // namespace tollmere::testing
