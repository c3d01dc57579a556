#pragma once
// The player's one boat: the saved record in PlayerBoat.dat and the game entity built from it,
// kept in step. Every feature changes the boat only through the operations below.

#include "host/BoatTypes.h"
#include "host/GameHelpers.h"
#include "host/Types.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tollmere {

class DictDataFile;

class PlayerBoatManager {
public:
    // Re-adopts the tagged boat the player sits in when the plug-in starts in a running game.
    PlayerBoatManager();
    PlayerBoatManager(const PlayerBoatManager&) = delete;
    PlayerBoatManager& operator=(const PlayerBoatManager&) = delete;

    // The record. A model that is missing or not a known boat type counts as no boat: every
    // operation would otherwise work on a boat that cannot exist.
    bool hasOwnedBoat() const { return getOwnedBoatType() != nullptr; }
    const BoatType* getOwnedBoatType() const;
    std::int32_t getTint() const;               // -1 without a boat
    std::int32_t getPropsetIndex() const;       // -1 without a boat or prop set
    std::int32_t getLanternPropsetIndex() const;
    std::int32_t getDockId() const;             // -1 without a boat, 0 or less when not moored

    // The entity.
    Vehicle getBoatEntity() const { return boat; }
    Vec3 getBoatPosition() const;
    float getBoatHealth() const;  // 0 when dead, else the health fraction
    float getHealthStat() const;
    float getUpgradedHealthStat() const;
    bool needsRepair() const;
    bool isAnchored() const { return anchored; }
    void dropAnchor();
    void releaseAnchor();

    void createBoatBlip();
    // Creates the entity if it is missing (yielding while the model loads), then moves it there.
    void spawnBoat(const Vec3& position, float heading);
    // Previews a model: the record gets it with a fresh customisation; an existing entity is
    // replaced by the new model where it floats. Does not save.
    void setBoatModel(std::int32_t model);
    void applySavedCustomisation();
    void setTint(std::int32_t tint);
    void setPropset(std::int32_t index);         // throws out_of_range past the model's list
    void setLanternPropset(std::int32_t index);  // likewise
    void setHealth(float ratio);
    void repairBoat();
    void cleanBoat();
    // Moors the boat: a dock id above 0 also anchors it.
    void setDockId(std::int32_t id);
    // Copies health and position back into the record and writes PlayerBoat.dat if it changed.
    void saveBoatState();
    // Makes the vehicle the player's boat (docking while owning none). False, with the reason
    // logged and nothing changed, for a model the shop does not know.
    bool claimBoat(Vehicle vehicle);
    // Forgets the boat (sold or destroyed): blip removed, entity let go, record cleared.
    void discardBoat();
    void removeBoatEntity();
    // Reads PlayerBoat.dat again over the record, undoing changes no save kept.
    void reloadRecord();
    // At start-up, once PlayerBoat.dat is loaded: takes the model it holds as the saved one, and
    // a boat owned since before copies were kept (an older version wrote none) gets one now, so
    // that the copy names the boat he owns.
    void keepCopyOfRecordAtStart();
    // Once a frame before any feature asks about the boat: a boat that no longer exists without
    // having been seen destroyed is not lost (another script deleted it, or the game cleared it),
    // and is placed again from the record at once. Only the watch finds a boat lost: one that
    // exists and is dead or at 0 health.
    void checkBoat();
    // The same, only when the plug-in waited inside an operation since: other scripts ran then.
    void checkBoatAfterWaits() {
        if (waitsChecked_ != waitsInsideOperations()) checkBoat();
    }
    // Places the boat as the record has it: at its dock, or where it was last saved, anchored.
    // Logs and places nothing when it was left away from the docks with no position saved.
    void placeFromRecord();
    // Every frame, after the features: destruction, leaving the dock and the periodic save.
    void watchBoat();

private:
    // The held boat is gone: the record keeps it, and it is placed again.
    void placeAgain();
    // The held boat exists and is dead or at 0 health.
    void lose();
    // Every 15 s while a boat is owned and the shop is closed.
    void periodicSave();
    void copyEntityStateToRecord();
    // Saves PlayerBoat.dat if it changed; a failed save is shown once a run.
    void writeRecord();
    void applyPropSet(const char* key, std::int32_t index, bool lantern, bool keepStoredIndex);
    // The owned model as a number, 0 for none.
    std::int32_t ownedModel() const;
    // Writes the saved record to PlayerBoat.dat.bak as well.
    void keepCopyOfRecord();
    // A new model's record: no paint, no extras, no dock, full health.
    void resetCustomisation();

    // A number of the record, parsed again only once the record has changed: the getters run
    // many times a frame. A value that does not read throws on every call, as it always did.
    struct CachedNumber {
        const DictDataFile* file = nullptr;
        std::uint64_t change = 0;
        std::int32_t value = 0;
    };
    static std::int32_t recordInt(CachedNumber& cache, const char* key);

    Vehicle boat = 0;
    Blip blip = 0;
    bool anchored = false;
    // The count of waits inside operations when the boat was last asked after.
    std::uint64_t waitsChecked_ = 0;
    // The owned model as PlayerBoat.dat holds it: a save that changes it keeps a copy.
    std::int32_t savedModel = 0;
    mutable CachedNumber cachedModel;
    mutable CachedNumber cachedTint;
    mutable CachedNumber cachedPropset;
    mutable CachedNumber cachedLantern;
    mutable CachedNumber cachedDockId;
};

// Places the saved boat in the world once, at start-up.
class BoatSpawner {
public:
    BoatSpawner() { spawnSavedBoat(); }

private:
    static void spawnSavedBoat();
};

// Where a Lang text of the boat's blip ("blips.boat") wants the player's name.
inline constexpr std::string_view kPlayerNameMark = "{player}";
// The map name of his boat: "Arthur's Boat", or for a text with the mark ("Bateau de {player}")
// the text with his name in its place.
std::string ownedBoatBlipName(std::string_view player, std::string_view boatText);

// Hands an entity the plug-in made back to the game, unless it is gone already (the game refuses a
// handle that is gone) or it is the player's boat: a boat he claimed from a robbery is on the
// robbery's list, and the game clears what it is handed once nobody looks.
void handBack(Entity entity);

}  // namespace tollmere
