#pragma once
// The fixed table of river docks, each with its map blip, built once at start-up after the data
// files are loaded (the blip names come from LangData) and never destroyed.

#include "host/Types.h"

#include <memory>
#include <vector>

namespace tollmere {

struct DockPoint {
    Vec3 position;
    float heading = 0.0f;  // degrees
};

class Dock {
  public:
    Dock(int id, const char* name, const DockPoint& mooringPoint, const DockPoint& pierPoint)
        : id_(id), name_(name), mooringPoint_(mooringPoint), pierPoint_(pierPoint) {}
    // A dock is known by its address (managers keep Dock*), so there is only ever the one.
    Dock(const Dock&) = delete;
    Dock& operator=(const Dock&) = delete;

    // The value stored as "dock_id" in PlayerBoat.dat while the owned boat is moored here.
    int id() const { return id_; }
    const char* name() const { return name_; }
    // On the water: where the owned boat is placed, and what the left-dock check measures to.
    DockPoint mooringPoint() const { return mooringPoint_; }
    // On land: where the blip stands and what findNearestDock measures to.
    DockPoint pierPoint() const { return pierPoint_; }
    Blip blip() const { return blip_; }
    bool isDisabled() const { return disabled_; }

  private:
    friend class DocksRegistry;

    // Creates and names the blip unless the one held still exists.
    void ensureBlip();

    int id_;
    const char* name_;
    DockPoint mooringPoint_;
    DockPoint pierPoint_;
    Blip blip_ = 0;
    bool disabled_ = false;
};

// The name of the dock with that id in the fixed table, or nullptr when no dock has it. Needs no
// registry and calls no native, so tools can check a stored "dock_id" without a game.
const char* dockNameById(int id);

class DocksRegistry {
  public:
    // Builds every dock in table order, each with its blip at the pier, then goes over all of them
    // once more so that a blip the game dropped in between is made again.
    DocksRegistry();
    DocksRegistry(const DocksRegistry&) = delete;
    DocksRegistry& operator=(const DocksRegistry&) = delete;

    // The dock whose pier is nearest to position, height included; of equally near docks the one
    // earlier in the table. nullptr when that dock is farther than maxDistance; a maxDistance of 0
    // or less means no limit. Runs more than once a frame (the dock menu and the fence both ask):
    // one distance native per dock for a position not asked about last time, none for the same
    // position again; no allocation.
    Dock* findNearestDock(const Vec3& position, float maxDistance) const;

    // The first dock in table order with that id, or nullptr (there is no dock 10).
    Dock* findDockById(int id) const;

    // Mark every dock unavailable, or available again, together with the blip modifier that shows
    // it on the map. Both run every frame: one native per dock, no blip created or deleted, no
    // allocation, and calling either again changes nothing.
    void disableAllDocks();
    void enableAllDocks();

    // Table order.
    const std::vector<std::unique_ptr<Dock>>& docks() const { return docks_; }

  private:
    std::vector<std::unique_ptr<Dock>> docks_;
    // The last look-up: docks never move, so the same position has the same nearest dock.
    mutable bool measured_ = false;
    mutable Vec3 measuredFrom_;
    mutable Dock* nearest_ = nullptr;
    mutable float nearestDistance_ = 0.0f;
};

}  // namespace tollmere
