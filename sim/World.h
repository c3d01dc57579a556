#pragma once
// The state of the simulated game: what the plug-in can see and change through natives. Tests and
// the demo read and set it directly; natives reach it only through their handlers.

#include "Handles.h"
#include "Input.h"
#include "Prompts.h"
#include "Screen.h"

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

namespace sim {

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    friend bool operator==(const Vec3&, const Vec3&) = default;
};

float distance(const Vec3& a, const Vec3& b);
std::string hexHandle(std::uint32_t handle);

}  // namespace sim

// Cameras and tasks keep points, so they come after Vec3.
#include "Cameras.h"
#include "Tasks.h"

namespace sim {

enum class EntityKind { ped, vehicle };

struct Entity {
    std::uint32_t handle = 0;
    EntityKind kind = EntityKind::ped;
    std::uint32_t model = 0;
    Vec3 position;
    float heading = 0.0f;  // degrees
    bool placedOnGround = false;

    std::int32_t health = 1000;
    std::int32_t maxHealth = 1000;
    bool dead = false;
    bool released = false;  // handed back to the game, which may clean it up
    std::int32_t releasedAtMs = 0;
    // Metres a second, worked out from the distance moved in the last frame; a test may set
    // speedSetByTest instead, which the game reports until the test clears it.
    float speed = 0.0f;
    std::optional<float> speedSetByTest;
    Vec3 lastPosition;  // where the last frame left it
    bool incapacitated = false;
    std::map<std::string, std::int32_t> decorators;
    bool madeByScript = false;  // created through a native, not by the game, a test or the player

    // Vehicles only.
    std::int32_t tint = 0;
    std::uint32_t propSet = 0;  // name hash, 0 for none
    std::uint32_t lanternPropSet = 0;
    bool anchored = false;
    bool anchorHeld = false;
    // Where the anchor bit: pushes leave it within a chain's swing of this. Unset for a boat a test
    // anchored by hand: it holds where it lies.
    std::optional<Vec3> anchoredAt;
    int timesFixed = 0;
    int cleanSteps = 0;  // clean steps applied, in order, since the last full clean
    int timesCleaned = 0;
    std::int32_t passengerCapacity = 2;
    bool driveable = true;
    bool retired = false;
    bool drivenByOrders = false;  // moved under a driver's order in the last frame (see Tasks.h)

    // Peds only.
    std::uint32_t vehicle = 0;      // the vehicle it sits in
    std::uint32_t lastVehicle = 0;  // the last vehicle it sat in
    std::uint32_t entering = 0;     // the vehicle it is getting into
    std::int32_t seat = -1;         // while in a vehicle: -1 the driver's seat, 0.. the passengers'
    bool randomOutfit = false;
    std::int32_t group = -1;  // -1 for none
    std::map<std::int32_t, bool> configFlags;
    bool hogtied = false;
    bool fleeing = false;
    std::vector<Task> tasks;           // every order given, the current one last
    std::int32_t runningSequence = 0;  // the sequence being performed, 0 for none
    std::size_t nextStep = 0;          // its next step

    float healthFraction() const;
    const Task* currentTask() const { return tasks.empty() ? nullptr : &tasks.back(); }
};

struct PedGroup {
    std::int32_t id = 0;
    std::uint32_t leader = 0;
    std::vector<std::uint32_t> members;  // the leader not included
};

struct Blip {
    std::uint32_t handle = 0;
    std::uint32_t style = 0;
    std::uint32_t entity = 0;  // 0 for a blip on a point
    Vec3 point;
    std::uint32_t sprite = 0;
    std::string name;
    std::set<std::uint32_t> modifiers;
};

// What a game text handle stands for.
struct Text {
    enum class Kind { literal, colour, cash } kind = Kind::literal;
    std::string text;  // for cash, the amount as the game prints it ("$12.50")
    std::int32_t cents = 0;
};

struct HelpText {
    int frame = 0;
    std::string text;
    std::int32_t durationMs = 0;
};

struct MoneyToast {
    int frame = 0;
    std::int32_t cents = 0;  // as the toast shows it: never negative
    std::string amountText;
    std::string textureDictionary;
    std::uint32_t texture = 0;
    std::uint32_t colour = 0;
    std::int32_t durationMs = 0;
};

// Something the game streams in: resident after a number of frames, or never.
struct Resource {
    int requestedAtFrame = -1;
    bool resident = false;
};

struct Player {
    std::uint32_t ped = 0;
    std::uint32_t id = 0;
    std::string name = "Player";
    bool unavailable = false;
    bool scriptedActivity = false;
    bool control = true;
};

class World {
  public:
    World();

    // Clock. Each frame advances the game time by about frameStepMs: a frame lasts up to
    // frameJitterMs more or less, as a game's frames do. The game has been running a while when
    // the plug-in starts, so its timer is far from 0.
    int frame = 0;
    std::int32_t gameTimeMs = 7340123;
    // The language the player set the game to, by the game's number (0 English, 1 French, ...).
    std::int32_t language = 0;
    int frameStepMs = 33;
    int frameJitterMs = 6;
    int lastFrameMs = 33;  // how long the last frame took
    std::int32_t scriptTimerStartMs = gameTimeMs;
    void advanceFrame();
    void setScriptTimer(std::int32_t elapsedMs) { scriptTimerStartMs = gameTimeMs - elapsedMs; }
    float frameTimeSeconds() const { return static_cast<float>(lastFrameMs) / 1000.0f; }

    Player player;
    // The game puts a dead player back on his feet after respawnDelayMs with a new ped: handles of
    // the old one are gone.
    std::int32_t respawnDelayMs = 6000;
    Vec3 respawnPoint{2190.0f, -650.0f, 42.0f};
    void respawnPlayer();
    // The last displayHud a script made (false until one does), and whether the HUD is hidden: the
    // game shows its HUD unless a script hid it.
    bool hudDisplayed = false;
    bool hudHidden = false;
    std::set<std::uint32_t> hudContexts;
    // The last screen fade the scripts asked for: the screen goes dark over the duration of a fade
    // out and comes back over that of a fade in.
    struct Fade {
        bool out = false;
        std::int32_t durationMs = 0;
        std::int32_t startedAtMs = 0;
        int fadesOut = 0;
        int fadesIn = 0;
        std::string by;  // the script that asked for it
    } fade;
    bool screenDark() const { return fade.out && gameTimeMs - fade.startedAtMs >= fade.durationMs; }
    bool screenFading() const { return gameTimeMs - fade.startedAtMs < fade.durationMs; }
    // The game's own menus and screens, which take the screen whatever the scripts do.
    struct GameMenus {
        bool pauseMenu = false;
        bool uiApp = false;  // the map, the satchel, the game's other full-screen menus
        bool loadingScreen = false;
    } menus;
    std::int64_t cashCents = 0;

    // Entities, peds and vehicles alike, by handle.
    std::map<std::uint32_t, Entity> entities;
    Entity* entity(std::uint32_t handle);
    // An entity a native names. Handle 0 gives nullptr (natives give it their own meaning); a
    // handle that never existed, was deleted, or was released and then removed by the game is
    // refused, as is a vehicle where a ped is wanted and the other way round.
    Entity* use(std::uint32_t handle);
    Entity* usePed(std::uint32_t handle);
    Entity* useVehicle(std::uint32_t handle);
    // Whether the handle was ever handed out (the player's peds included).
    bool everExisted(std::uint32_t handle) const { return entityLife_.everIssued(handle); }
    // Released entities are the game's again: it removes them once they have been released for
    // releasedLingerMs and the player is at least releasedCleanupDistance away (out of his sight),
    // or at once when a test asks for that.
    bool removeReleasedAtOnce = false;
    std::int32_t releasedLingerMs = 3000;
    float releasedCleanupDistance = 100.0f;
    void release(std::uint32_t handle);
    // The game clears every script's entities at once, released or not, as it does on a load, a
    // mission's clean-up or another script's purge; what the game, a test or the player placed
    // stays. Handles of the cleared entities are gone.
    void clearScriptEntities();
    Entity& playerPed() { return *entity(player.ped); }
    std::uint32_t createVehicle(std::uint32_t model, const Vec3& position, float heading);
    std::vector<const Entity*> vehicles() const;
    // Where the entity is: a ped sitting in a vehicle is where the vehicle is.
    Vec3 positionOf(std::uint32_t handle) const;
    // Pushes a vehicle (and so whoever sits in it), as rowing, a current or a test's hand does. An
    // anchored boat holds: it swings at most anchorSwingMetres from where its anchor bit.
    void moveVehicle(std::uint32_t vehicle, const Vec3& position);
    // Puts a vehicle there whatever holds it, as a script's setEntityCoords does; an anchored boat
    // is anchored at its new place.
    void teleportVehicle(std::uint32_t vehicle, const Vec3& position);
    float anchorSwingMetres = 0.5f;
    void deleteEntity(std::uint32_t handle);
    // Where the river's surface lies: a boat placed on the ground floats on it.
    float waterSurfaceZ = 40.42f;
    void placeOnGround(std::uint32_t vehicle);

    // The player's ped on foot, sitting in a vehicle, or getting into one. Sitting in, he takes the
    // driver's seat if it is free, else the first free passenger seat.
    void putPlayerOnFoot();
    void putPlayerInVehicle(std::uint32_t vehicle);
    void playerEntersVehicle(std::uint32_t vehicle);
    // The player is dead when his ped is.
    bool playerDead() const;

    // Peds sitting in vehicles. Seat -1 is the driver's; passenger seats run from 0 to the
    // vehicle's passenger capacity - 1. Creating gives 0, as the game does, for a model that is not
    // resident, a handle that is not a vehicle, a seat out of range or a seat taken.
    std::uint32_t createPedInsideVehicle(std::uint32_t vehicle, std::uint32_t model, std::int32_t seat);
    std::uint32_t pedInSeat(std::uint32_t vehicle, std::int32_t seat) const;  // 0 for an empty seat
    std::uint32_t driverOf(std::uint32_t vehicle) const { return pedInSeat(vehicle, -1); }
    // Gets a ped out of the vehicle it sits in, onto its own feet a little to the vehicle's right.
    void stepOutOfVehicle(std::uint32_t ped);
    // Passenger seats by model; models not listed have the default of Entity.
    std::map<std::uint32_t, std::int32_t> passengerCapacities;

    std::map<std::int32_t, PedGroup> groups;
    std::int32_t createGroup();

    // Orders: the sequences being built, and carrying out every ped's orders (see Tasks.h). Runs
    // as each frame begins.
    Sequences sequences;
    void giveTask(std::uint32_t ped, Task task);
    void runTasks();

    // Models the game treats as boats.
    std::set<std::uint32_t> boatModels;
    bool isBoat(std::uint32_t handle) const;

    // Prop sets are known to scripts by an id that getPropSetHash turns back into the name hash.
    std::uint32_t propSetId(std::uint32_t hash);
    std::uint32_t propSetHash(std::uint32_t id) const;

    // Blips live like entities (Handles.h): a blip on an entity goes with it, and a deleted or gone
    // blip given to a native is refused.
    std::map<std::uint32_t, Blip> blips;
    std::uint32_t createBlip(std::uint32_t style);
    const Blip* blipOn(std::uint32_t entity) const;
    Blip* useBlip(std::uint32_t handle) { return blipLife_.use(blips, handle); }
    bool blipEverMade(std::uint32_t handle) const { return blipLife_.everIssued(handle); }

    // Streaming: a requested texture dictionary or model becomes resident loadFrames frames later.
    std::map<std::string, Resource> textureDicts;
    std::map<std::uint32_t, Resource> models;
    int textureLoadFrames = 3;
    int modelLoadFrames = 2;
    std::set<std::string> textureDictsThatNeverLoad;
    std::set<std::uint32_t> modelsThatNeverLoad;
    void requestTextureDict(const std::string& name);
    void requestModel(std::uint32_t model);
    bool textureDictResident(const std::string& name) const;
    bool modelResident(std::uint32_t model) const;

    // The game's random generator: deterministic, and tests can script the next draws.
    std::mt19937 random{20261207u};
    std::deque<std::int32_t> scriptedInts;
    std::deque<float> scriptedFloats;
    // A scripted draw must lie in the range asked for, and the range must not be empty: either
    // would be a caller's mistake the game's own generator hides.
    std::int32_t randomInt(std::int32_t min, std::int32_t maxExclusive);
    float randomFloat(float min, float max);

    // Game texts made by createVarString. Like the game's, they last for the frame they were made
    // in and the next; a handle kept longer no longer decodes.
    std::uint64_t makeText(Text text);
    const Text* text(std::uint64_t handle) const;

    std::string stagedNotice;
    std::vector<std::string> notices;
    std::vector<HelpText> helpTexts;
    std::vector<MoneyToast> moneyToasts;
    std::map<std::string, std::int32_t> decorators;  // name to type code, registered by scripts or the game

    Screen screen;
    Input input;      // the pad, read as each frame begins
    Prompts prompts;  // worked out after the pad
    Cameras cameras;

    // Checks of what the player would see, run at the end of every frame; a broken one fails the
    // run (see Invariants.cpp).
    struct Watch {
        std::int32_t darkSinceMs = -1;
        std::int32_t maxDarkMs = 4000;
        int controlTakenAtFrame = -1;  // by the plug-in, -1 while it holds none
        int lastPanelFrame = -1;       // the last frame with a sprite drawn (a panel on screen)
        int lastHeldFrame = -1;        // the last frame the game itself held the player
        int controlGraceFrames = 90;   // the shop's fades and waits, and the frames after
        // The scripted camera is rendered only while a panel of the plug-in is on screen or the
        // screen is faded out; a few frames more allow for the hand-over between the two.
        int cameraExcusedFrame = 0;
        int cameraGraceFrames = 15;
        // A game scene (a cutscene, an activity; also while the player is unavailable or a game
        // activity runs) holds the player's control: the plug-in must not hand it back meanwhile.
        bool sceneHoldsControl = false;
        // When a scene ends, the game gives the player the control scripts last asked for.
        bool controlRequested = true;
        bool sceneWasHolding = false;
    } watch;
    void checkFrame();
    void checkShared(const std::string& at) const;
    void onPlayerControl(bool on, const std::string& script, const char* native);

    // The states every script shares, as the game keeps one of each for all of them: the player's
    // control, the HUD, each HUD context, the rendering camera and the fade. The last script to set
    // one wins. A script holds one from when it sets it away from the game's default (control off,
    // the HUD hidden, a context added, its camera rendering, the screen faded out) until it gives it
    // back, and no other script may set it meanwhile (see SharedStates.cpp).
    enum class SharedState { control, hud, hudContext, camera, fade };
    struct Holding {
        std::string holder;
        std::int64_t left = 0;  // what the holder left: 1 for away, or the camera rendering
    };
    struct Shared {
        std::map<std::pair<SharedState, std::uint32_t>, Holding> held;  // by state and context
        // Scripts that play the story's scenes and photo mode: as the game's own do, they take a
        // state whoever holds it, and the holder must let it be.
        std::set<std::string> sceneScripts;
    } shared;
    // A script set a shared state (which: the context's hash, else 0) to value, away from the
    // default or back to it; refused when that breaks the rule.
    void setShared(SharedState state, std::uint32_t which, const std::string& script, const char* native,
                   std::int64_t value, bool away);
    // Whether a scene script holds the state, which the player's-view checks then excuse.
    bool heldByScene(SharedState state) const;
    std::uint32_t renderingCamera() const;  // the scripted camera rendering, 0 for the game's own

  private:
    HandleLife entityLife_{"entity", 0x100, "was deleted, or released and removed by the game"};
    std::mt19937 frameClock_{7u};
    std::int32_t playerDiedAtMs = -1;
    void settleEntities();
    HandleLife blipLife_{"blip", 0x5000, "was deleted, or went with the entity it was on"};
    void holdAnchoredBoats();
    std::int32_t nextGroup_ = 1;
    std::uint64_t nextText_ = 1;
    std::vector<std::uint32_t> propSets_;
    std::unordered_map<std::uint64_t, Text> texts_;
    std::deque<std::pair<int, std::uint64_t>> textsByFrame_;  // creation frame and handle, oldest first
};

}  // namespace sim
