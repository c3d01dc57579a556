#include "World.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace sim {

namespace {
// Further than this in one frame is a teleport, not a movement.
constexpr float kTeleportMetres = 8.0f;

// Text handles carry bits in their high half so that a caller that keeps only 32 bits of one
// hands the game a handle it does not know.
constexpr std::uint64_t kTextHandleTag = 0x7E47ull << 48;
}  // namespace

std::string hexHandle(std::uint32_t handle) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", handle);
    return text;
}

float distance(const Vec3& a, const Vec3& b) {
    const double dx = static_cast<double>(a.x) - b.x;
    const double dy = static_cast<double>(a.y) - b.y;
    const double dz = static_cast<double>(a.z) - b.z;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
}

World::World() {
    // A single-player game still numbers its player: not 0.
    player.id = 2;
    player.ped = entityLife_.issue();
    Entity ped;
    ped.handle = player.ped;
    ped.kind = EntityKind::ped;
    ped.position = Vec3{2180.0f, -640.0f, 42.0f};
    ped.lastPosition = ped.position;
    ped.placedOnGround = true;
    entities[player.ped] = ped;
    // Decorators the game registers itself.
    decorators["honor_override"] = 3;
    for (std::uint32_t model : {0x9FD6BA58u, 0xD84D4530u, 0xE84E6B74u, 0xF097BC6Cu, 0x578D6513u}) {
        boatModels.insert(model);
    }
    // Passenger seats by model. The rowboat seats a rower and three more: a cargo escort carries
    // four guards.
    passengerCapacities[0x9FD6BA58u] = 3;
    passengerCapacities[0xD84D4530u] = 1;
    passengerCapacities[0xE84E6B74u] = 2;
    passengerCapacities[0xF097BC6Cu] = 4;
    passengerCapacities[0x578D6513u] = 5;
}

float Entity::healthFraction() const {
    if (dead || health <= 0 || maxHealth <= 0) return 0.0f;
    const float fraction = static_cast<float>(health) / static_cast<float>(maxHealth);
    return fraction > 1.0f ? 1.0f : fraction;
}

void World::advanceFrame() {
    ++frame;
    lastFrameMs = frameStepMs;
    if (frameJitterMs > 0) {
        std::uniform_int_distribution<int> jitter(-frameJitterMs, frameJitterMs);
        lastFrameMs = std::max(1, frameStepMs + jitter(frameClock_));
    }
    gameTimeMs += lastFrameMs;
    screen.beginFrame(frame);
    // Prompts complete on this frame's pad, so the pad is read first.
    input.beginFrame(frame);
    prompts.beginFrame(frame, lastFrameMs, input);
    while (!textsByFrame_.empty() && textsByFrame_.front().first < frame - 1) {
        texts_.erase(textsByFrame_.front().second);
        textsByFrame_.pop_front();
    }
    auto settle = [this](Resource& resource, int loadFrames, bool never) {
        if (!resource.resident && !never && resource.requestedAtFrame >= 0 &&
            frame - resource.requestedAtFrame >= loadFrames) {
            resource.resident = true;
        }
    };
    for (auto& [name, dict] : textureDicts)
        settle(dict, textureLoadFrames, textureDictsThatNeverLoad.contains(name));
    for (auto& [model, resource] : models)
        settle(resource, modelLoadFrames, modelsThatNeverLoad.contains(model));
    // Peds carry out their orders once the frame's time has passed, so movement covers the frame.
    runTasks();
    settleEntities();
}

void World::settleEntities() {
    holdAnchoredBoats();
    // A seated ped is where his vehicle is: a test that moved one by hand moved nothing.
    for (const auto& [handle, e] : entities) {
        if (e.kind != EntityKind::ped || e.vehicle == 0) continue;
        const Entity* v = entity(e.vehicle);
        if (v != nullptr && !(e.position == v->position)) {
            throw std::logic_error(
                "ped " + hexHandle(handle) + " sits in vehicle " + hexHandle(e.vehicle) +
                " but was moved by hand: move the vehicle (World::moveVehicle) or get him out "
                "first");
        }
    }
    // Speed from the distance moved in the frame; a jump of more than a few metres is a teleport,
    // as setEntityCoords makes, which gives no speed.
    const float seconds = frameTimeSeconds();
    for (auto& [handle, e] : entities) {
        const Vec3 now = positionOf(handle);
        const float moved = distance(now, e.lastPosition);
        e.speed = moved > kTeleportMetres ? 0.0f : moved / seconds;
        e.lastPosition = now;
    }
    // The player dead long enough comes back as a new ped.
    if (Entity* ped = entity(player.ped); ped != nullptr && (ped->dead || ped->health <= 0)) {
        if (playerDiedAtMs < 0) playerDiedAtMs = gameTimeMs;
        if (gameTimeMs - playerDiedAtMs >= respawnDelayMs) respawnPlayer();
    } else {
        playerDiedAtMs = -1;
    }
    // The game clears away what was handed back to it once nobody is looking.
    const Vec3 playerAt = positionOf(player.ped);
    std::vector<std::uint32_t> cleared;
    for (const auto& [handle, e] : entities) {
        if (!e.released) continue;
        if (removeReleasedAtOnce || (gameTimeMs - e.releasedAtMs >= releasedLingerMs &&
                                     distance(positionOf(handle), playerAt) >= releasedCleanupDistance)) {
            cleared.push_back(handle);
        }
    }
    for (std::uint32_t handle : cleared)
        deleteEntity(handle);
}

void World::respawnPlayer() {
    const std::uint32_t old = player.ped;
    if (Entity* ped = entity(old); ped != nullptr && ped->vehicle != 0) stepOutOfVehicle(old);
    player.ped = entityLife_.issue();
    Entity ped;
    ped.handle = player.ped;
    ped.kind = EntityKind::ped;
    ped.position = respawnPoint;
    ped.lastPosition = respawnPoint;
    ped.placedOnGround = true;
    entities[player.ped] = ped;
    deleteEntity(old);
    playerDiedAtMs = -1;
}

void World::release(std::uint32_t handle) {
    if (Entity* e = entity(handle); e != nullptr && !e->released) {
        e->released = true;
        e->releasedAtMs = gameTimeMs;
    }
}

void World::clearScriptEntities() {
    std::vector<std::uint32_t> cleared;
    for (const auto& [handle, e] : entities) {
        if (e.madeByScript && handle != player.ped) cleared.push_back(handle);
    }
    // A ped sitting in a vehicle that goes is left on his feet where it was (deleteEntity).
    for (std::uint32_t handle : cleared)
        deleteEntity(handle);
}

Entity* World::use(std::uint32_t handle) {
    return entityLife_.use(entities, handle);
}

Entity* World::usePed(std::uint32_t handle) {
    Entity* e = use(handle);
    if (e != nullptr && e->kind != EntityKind::ped)
        throw Refusal("handle " + hexHandle(handle) + " is a vehicle, not a ped");
    return e;
}

Entity* World::useVehicle(std::uint32_t handle) {
    Entity* e = use(handle);
    if (e != nullptr && e->kind != EntityKind::vehicle)
        throw Refusal("handle " + hexHandle(handle) + " is a ped, not a vehicle");
    return e;
}

void World::placeOnGround(std::uint32_t vehicle) {
    Entity* e = entity(vehicle);
    if (e == nullptr) return;
    e->placedOnGround = true;
    if (isBoat(vehicle)) {
        Vec3 at = e->position;
        at.z = waterSurfaceZ;
        teleportVehicle(vehicle, at);
    }
}

Entity* World::entity(std::uint32_t handle) {
    auto it = entities.find(handle);
    return it == entities.end() ? nullptr : &it->second;
}

std::uint32_t World::createVehicle(std::uint32_t model, const Vec3& position, float heading) {
    const std::uint32_t handle = entityLife_.issue();
    Entity vehicle;
    vehicle.handle = handle;
    vehicle.kind = EntityKind::vehicle;
    vehicle.model = model;
    vehicle.position = position;
    vehicle.lastPosition = position;
    vehicle.heading = heading;
    if (auto capacity = passengerCapacities.find(model); capacity != passengerCapacities.end()) {
        vehicle.passengerCapacity = capacity->second;
    }
    entities[handle] = vehicle;
    return handle;
}

Vec3 World::positionOf(std::uint32_t handle) const {
    auto it = entities.find(handle);
    if (it == entities.end()) return Vec3{};
    if (it->second.vehicle != 0) {
        if (auto vehicle = entities.find(it->second.vehicle); vehicle != entities.end())
            return vehicle->second.position;
    }
    return it->second.position;
}

namespace {

// Where a push leaves a boat anchored at anchor: within swing of it, on the line towards the push.
Vec3 withinSwing(const Vec3& anchor, const Vec3& pushedTo, float swing) {
    const float away = distance(anchor, pushedTo);
    if (away <= swing) return pushedTo;
    const float f = swing / away;
    return Vec3{anchor.x + (pushedTo.x - anchor.x) * f, anchor.y + (pushedTo.y - anchor.y) * f,
                anchor.z + (pushedTo.z - anchor.z) * f};
}

}  // namespace

void World::teleportVehicle(std::uint32_t vehicle, const Vec3& position) {
    Entity* e = entity(vehicle);
    if (e == nullptr) return;
    e->position = position;
    e->anchoredAt = e->anchored ? std::optional<Vec3>(position) : std::nullopt;
    for (auto& [handle, other] : entities) {
        if (other.vehicle == vehicle) other.position = position;
    }
}

void World::moveVehicle(std::uint32_t vehicle, const Vec3& position) {
    const Entity* e = entity(vehicle);
    if (e == nullptr) return;
    if (!e->anchored) return teleportVehicle(vehicle, position);
    const Vec3 anchor = e->anchoredAt.value_or(e->position);
    teleportVehicle(vehicle, withinSwing(anchor, position, anchorSwingMetres));
    entity(vehicle)->anchoredAt = anchor;
}

void World::holdAnchoredBoats() {
    // A hand that set a position directly pushed as well: the anchor holds against it.
    for (auto& [handle, e] : entities) {
        if (!e.anchored) {
            e.anchoredAt.reset();
        } else if (!e.anchoredAt) {
            e.anchoredAt = e.position;
        } else if (distance(e.position, *e.anchoredAt) > anchorSwingMetres) {
            moveVehicle(handle, e.position);
        }
    }
}

void World::deleteEntity(std::uint32_t handle) {
    entities.erase(handle);
    // Blips on an entity go with it.
    std::erase_if(blips, [handle](const auto& entry) { return entry.second.entity == handle; });
    for (auto& [other, e] : entities) {
        if (e.vehicle == handle) e.vehicle = 0;
        if (e.entering == handle) e.entering = 0;
        if (e.lastVehicle == handle) e.lastVehicle = 0;
    }
}

void World::putPlayerOnFoot() {
    Entity& ped = playerPed();
    if (ped.vehicle != 0) ped.position = positionOf(ped.handle);
    ped.vehicle = 0;
    ped.entering = 0;
}

void World::putPlayerInVehicle(std::uint32_t vehicle) {
    Entity& ped = playerPed();
    std::int32_t seat = -1;
    if (ped.vehicle != vehicle) {
        const Entity* v = entity(vehicle);
        const std::int32_t capacity = v != nullptr ? v->passengerCapacity : 0;
        while (seat < capacity && pedInSeat(vehicle, seat) != 0) {
            ++seat;
        }
        if (seat == capacity) throw std::logic_error("no free seat for the player in that vehicle");
    } else {
        seat = ped.seat;
    }
    ped.seat = seat;
    ped.vehicle = vehicle;
    ped.lastVehicle = vehicle;
    ped.entering = 0;
    ped.position = positionOf(vehicle);
}

void World::playerEntersVehicle(std::uint32_t vehicle) {
    Entity& ped = playerPed();
    ped.entering = vehicle;
}

bool World::isBoat(std::uint32_t handle) const {
    auto it = entities.find(handle);
    return it != entities.end() && it->second.kind == EntityKind::vehicle &&
           boatModels.contains(it->second.model);
}

std::uint32_t World::propSetId(std::uint32_t hash) {
    if (hash == 0) return 0;
    for (std::size_t i = 0; i < propSets_.size(); ++i) {
        if (propSets_[i] == hash) return static_cast<std::uint32_t>(i + 1);
    }
    propSets_.push_back(hash);
    return static_cast<std::uint32_t>(propSets_.size());
}

std::uint32_t World::propSetHash(std::uint32_t id) const {
    return id >= 1 && id <= propSets_.size() ? propSets_[id - 1] : 0;
}

std::vector<const Entity*> World::vehicles() const {
    std::vector<const Entity*> result;
    for (const auto& [handle, e] : entities) {
        if (e.kind == EntityKind::vehicle) result.push_back(&e);
    }
    return result;
}

std::uint32_t World::createBlip(std::uint32_t style) {
    const std::uint32_t handle = blipLife_.issue();
    blips[handle] = Blip{handle, style};
    return handle;
}

const Blip* World::blipOn(std::uint32_t entityHandle) const {
    for (const auto& [handle, blip] : blips) {
        if (blip.entity == entityHandle && entityHandle != 0) return &blip;
    }
    return nullptr;
}

void World::requestTextureDict(const std::string& name) {
    Resource& dict = textureDicts[name];
    if (dict.requestedAtFrame < 0) dict.requestedAtFrame = frame;
    if (textureLoadFrames <= 0 && !textureDictsThatNeverLoad.contains(name)) dict.resident = true;
}

void World::requestModel(std::uint32_t model) {
    Resource& resource = models[model];
    if (resource.requestedAtFrame < 0) resource.requestedAtFrame = frame;
    if (modelLoadFrames <= 0 && !modelsThatNeverLoad.contains(model)) resource.resident = true;
}

bool World::textureDictResident(const std::string& name) const {
    auto it = textureDicts.find(name);
    return it != textureDicts.end() && it->second.resident;
}

bool World::modelResident(std::uint32_t model) const {
    auto it = models.find(model);
    return it != models.end() && it->second.resident;
}

std::int32_t World::randomInt(std::int32_t min, std::int32_t maxExclusive) {
    if (maxExclusive <= min) {
        throw Refusal("empty range: minimum " + std::to_string(min) + " is not below maximum " +
                      std::to_string(maxExclusive));
    }
    if (!scriptedInts.empty()) {
        const std::int32_t value = scriptedInts.front();
        scriptedInts.pop_front();
        if (value < min || value >= maxExclusive) {
            throw Refusal("the scripted draw " + std::to_string(value) + " lies outside this call's range " +
                          std::to_string(min) + " to " + std::to_string(maxExclusive) + " exclusive");
        }
        return value;
    }
    std::uniform_int_distribution<std::int64_t> draw(min, static_cast<std::int64_t>(maxExclusive) - 1);
    return static_cast<std::int32_t>(draw(random));
}

float World::randomFloat(float min, float max) {
    if (!(min < max)) {
        throw Refusal("empty range: minimum " + std::to_string(min) + " is not below maximum " +
                      std::to_string(max));
    }
    if (!scriptedFloats.empty()) {
        const float value = scriptedFloats.front();
        scriptedFloats.pop_front();
        if (!(value >= min && value <= max)) {
            throw Refusal("the scripted draw " + std::to_string(value) + " lies outside this call's range " +
                          std::to_string(min) + " to " + std::to_string(max));
        }
        return value;
    }
    std::uniform_real_distribution<float> draw(min, max);
    return draw(random);
}

std::uint64_t World::makeText(Text text) {
    const std::uint64_t handle = kTextHandleTag | nextText_++;
    texts_[handle] = std::move(text);
    textsByFrame_.emplace_back(frame, handle);
    return handle;
}

const Text* World::text(std::uint64_t handle) const {
    auto it = texts_.find(handle);
    return it == texts_.end() ? nullptr : &it->second;
}

}  // namespace sim
