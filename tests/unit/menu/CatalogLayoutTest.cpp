// The shop panel's geometry, derived in 32-bit floats from its base values.

#include "menu/BoatsCatalog.h"

#include <gtest/gtest.h>

namespace tollmere {
namespace {

// Catches a derived value computed from the wrong base values or in another order.
TEST(CatalogLayout, DerivesThePanelFromItsBaseValues) {
    const CatalogLayout& l = BoatsCatalog::layout();
    const struct {
        const char* name;
        float value;
        float expected;
    } rows[] = {{"panel top", l.panelTop, 0.05f},          {"inset", l.inset, 0.024f},
                {"content left", l.contentLeft, 0.049f},   {"content width", l.contentWidth, 0.172f},
                {"header top", l.headerTop, 0.074f},       {"subtitle y", l.subtitleY, 0.166f},
                {"first divider", l.firstDividerY, 0.208f}, {"rows top", l.rowsTop, 0.209f},
                {"stats block", l.statsBlockHeight, 0.09f}, {"stats top", l.statsTop, 0.784f},
                {"description y", l.descriptionY, 0.742f},  {"stats left", l.statsLeft, 0.055f},
                {"stats width", l.statsWidth, 0.16f},       {"last divider", l.lastDividerY, 0.882f}};
    for (const auto& row : rows) EXPECT_NEAR(row.value, row.expected, 1e-6f) << row.name;
}

}  // namespace
}  // namespace tollmere
