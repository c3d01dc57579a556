#include "docks/DocksRegistry.h"

#include "data/DataFiles.h"
#include "data/DataKeys.h"
#include "host/GameHelpers.h"
#include "host/Natives.h"

#include <algorithm>
#include <array>

namespace tollmere {

namespace {

constexpr Hash kDockBlipStyle = 0xB04092F8;
constexpr Hash kDockBlipSprite = 0x778FEFC8;
// Shows on the map that the dock cannot be used right now.
constexpr Hash kDisabledBlipModifier = 0x2B30E11F;

struct DockRow {
    int id;
    const char* name;
    DockPoint pier;
    DockPoint mooring;
};

// The order decides ties and id look-ups. Caliga Hall takes 16, the first id after the others; ids
// are kept in PlayerBoat.dat, so 10 stays unused and a record holding it finds no dock.
constexpr std::array<DockRow, 15> kDockTable = {{
    {1, "Gill Landing", {{337.381f, -684.033f, 43.0272f}, 0.0f}, {{335.015f, -681.76f, 39.4986f}, 150.0f}},
    {2, "Lagras", {{2181.28f, -618.158f, 41.9048f}, 0.0f}, {{2178.68f, -619.395f, 40.5882f}, 222.0f}},
    {3, "Macomb's End", {{1878.49f, -775.068f, 42.4666f}, 0.0f}, {{1878.95f, -779.039f, 40.575f}, 98.0f}},
    {4, "Trapper's Cabin", {{2077.7f, -269.949f, 42.1409f}, 0.0f}, {{2075.89f, -266.766f, 40.6027f}, 322.0f}},
    {5,
     "Copperhead Landing",
     {{2902.02f, -247.757f, 41.9701f}, 0.0f},
     {{2906.05f, -248.333f, 40.5754f}, 175.0f}},
    {6, "Van Horn", {{3020.1f, 577.767f, 42.2713f}, 0.0f}, {{3026.11f, 575.692f, 39.2511f}, 0.0f}},
    {7, "Butcher Creek", {{2492.56f, 796.623f, 67.3046f}, 0.0f}, {{2488.33f, 798.462f, 66.2766f}, 145.0f}},
    {8, "Annesburg", {{3031.74f, 1370.2f, 42.6217f}, 0.0f}, {{3030.36f, 1365.81f, 40.6063f}, 251.0f}},
    {9,
     "Saint Denis Bronte's House",
     {{2265.73f, -1225.87f, 42.2189f}, 0.0f},
     {{2260.09f, -1226.41f, 39.7001f}, 0.0f}},
    {11,
     "Quaker's Cove",
     {{-1208.32f, -1964.18f, 42.306f}, 318.0f},
     {{-1204.2f, -1963.38f, 40.572f}, 150.0f}},
    {12,
     "Braithwaithe Manor",
     {{888.175f, -1777.25f, 42.1369f}, 0.0f},
     {{885.25f, -1775.81f, 40.582f}, 134.0f}},
    {13,
     "Brittlebrush Trawl",
     {{-2018.19f, -3047.61f, -11.2056f}, 0.0f},
     {{-2022.62f, -3048.52f, -12.6729f}, 195.0f}},
    {14, "Shady Bell", {{1979.49f, -1860.63f, 41.9184f}, 0.0f}, {{1983.5f, -1862.05f, 40.5879f}, 329.0f}},
    {15,
     "Saint Denis Docks",
     {{2948.61f, -1250.01f, 42.4122f}, 0.0f},
     {{2949.65f, -1254.4f, 40.5708f}, 270.0f}},
    {16, "Caliga Hall", {{1821.78f, -1202.28f, 42.186f}, 0.0f}, {{1819.18f, -1204.79f, 40.5709f}, 59.0f}},
}};

// Records keep the ids: two docks sharing one would send a moored boat to the other.
static_assert(std::adjacent_find(kDockTable.begin(), kDockTable.end(),
                                 [](const DockRow& a, const DockRow& b) { return a.id >= b.id; }) ==
                  kDockTable.end(),
              "dock ids must stay strictly ascending");

}  // namespace

const char* dockNameById(int id) {
    for (const DockRow& row : kDockTable) {
        if (row.id == id) return row.name;
    }
    return nullptr;
}

void Dock::ensureBlip() {
    if (blip_ != 0 && native::doesBlipExist(blip_)) return;
    blip_ = createPointBlip(pierPoint_.position, kDockBlipStyle, kDockBlipSprite);
    setBlipName(blip_, LangData->getString(keys::blipsFence));
}

DocksRegistry::DocksRegistry() {
    docks_.reserve(kDockTable.size());
    for (const DockRow& row : kDockTable) {
        docks_.push_back(std::make_unique<Dock>(row.id, row.name, row.mooring, row.pier));
        docks_.back()->ensureBlip();
    }
    for (const auto& dock : docks_) {
        dock->ensureBlip();
    }
}

Dock* DocksRegistry::findNearestDock(const Vec3& position, float maxDistance) const {
    if (docks_.empty()) return nullptr;
    if (measured_ && measuredFrom_ == position) {
        return maxDistance > 0.0f && nearestDistance_ > maxDistance ? nullptr : nearest_;
    }
    Dock* best = docks_.front().get();
    float bestDistance = distanceBetweenPoints(position, best->pierPoint_.position);
    // The first dock is already measured; measuring it again would only cost a native call.
    for (auto it = docks_.begin() + 1; it != docks_.end(); ++it) {
        const auto& dock = *it;
        const float distance = distanceBetweenPoints(position, dock->pierPoint_.position);
        // Strictly nearer only: of equally near docks the earlier one stays.
        if (distance < bestDistance) {
            best = dock.get();
            bestDistance = distance;
        }
    }
    measured_ = true;
    measuredFrom_ = position;
    nearest_ = best;
    nearestDistance_ = bestDistance;
    if (maxDistance > 0.0f && bestDistance > maxDistance) return nullptr;
    return best;
}

Dock* DocksRegistry::findDockById(int id) const {
    for (const auto& dock : docks_) {
        if (dock->id_ == id) return dock.get();
    }
    return nullptr;
}

void DocksRegistry::disableAllDocks() {
    for (const auto& dock : docks_) {
        native::enableBlipModifier(dock->blip_, kDisabledBlipModifier);
        dock->disabled_ = true;
    }
}

void DocksRegistry::enableAllDocks() {
    for (const auto& dock : docks_) {
        dock->disabled_ = false;
        native::disableBlipModifier(dock->blip_, kDisabledBlipModifier);
    }
}

}  // namespace tollmere
