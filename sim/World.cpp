#include "World.h"

#include <cmath>
#include <stdexcept>

namespace sim {

namespace {
// Text handles carry bits in their high half so that a caller that keeps only 32 bits of one
// hands the game a handle it does not know.
constexpr std::uint64_t kTextHandleTag = 0x7E47ull << 48;
}  // namespace

float distance(const Vec3& a, const Vec3& b) {
    const double dx = static_cast<double>(a.x) - b.x;
    const double dy = static_cast<double>(a.y) - b.y;
    const double dz = static_cast<double>(a.z) - b.z;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
}

World::World() {
    player.ped = nextEntity_++;
    Entity ped;
    ped.handle = player.ped;
    ped.kind = EntityKind::ped;
    ped.position = Vec3{2180.0f, -640.0f, 42.0f};
    ped.placedOnGround = true;
    entities[player.ped] = ped;
    // Decorators the game registers itself.
    decorators["honor_override"] = 3;
    for (std::uint32_t model : {0x9FD6BA58u, 0xD84D4530u, 0xE84E6B74u, 0xF097BC6Cu, 0x578D6513u}) {
        boatModels.insert(model);
    }
    // The rowboat seats a rower and three more: a cargo escort carries four guards.
    passengerCapacities[0x9FD6BA58u] = 3;
}

float Entity::healthFraction() const {
    if (dead || health <= 0 || maxHealth <= 0) return 0.0f;
    const float fraction = static_cast<float>(health) / static_cast<float>(maxHealth);
    return fraction > 1.0f ? 1.0f : fraction;
}

void World::advanceFrame() {
    ++frame;
    gameTimeMs += frameStepMs;
    screen.beginFrame(frame);
    // Prompts complete on this frame's pad, so the pad is read first.
    input.beginFrame(frame);
    prompts.beginFrame(frame, frameStepMs, input);
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
    for (auto& [name, dict] : textureDicts) settle(dict, textureLoadFrames, textureDictsThatNeverLoad.contains(name));
    for (auto& [model, resource] : models) settle(resource, modelLoadFrames, modelsThatNeverLoad.contains(model));
    // Peds carry out their orders once the frame's time has passed, so movement covers frameStepMs.
    runTasks();
}

Entity* World::entity(std::uint32_t handle) {
    auto it = entities.find(handle);
    return it == entities.end() ? nullptr : &it->second;
}

std::uint32_t World::createVehicle(std::uint32_t model, const Vec3& position, float heading) {
    const std::uint32_t handle = nextEntity_++;
    Entity vehicle;
    vehicle.handle = handle;
    vehicle.kind = EntityKind::vehicle;
    vehicle.model = model;
    vehicle.position = position;
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
        if (auto vehicle = entities.find(it->second.vehicle); vehicle != entities.end()) return vehicle->second.position;
    }
    return it->second.position;
}

void World::moveVehicle(std::uint32_t vehicle, const Vec3& position) {
    if (Entity* e = entity(vehicle); e != nullptr) e->position = position;
    for (auto& [handle, e] : entities) {
        if (e.vehicle == vehicle) e.position = position;
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
    return it != entities.end() && it->second.kind == EntityKind::vehicle && boatModels.contains(it->second.model);
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
    const std::uint32_t handle = nextBlip_++;
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
    if (!scriptedInts.empty()) {
        const std::int32_t value = scriptedInts.front();
        scriptedInts.pop_front();
        return value;
    }
    if (maxExclusive <= min) return min;
    std::uniform_int_distribution<std::int64_t> draw(min, static_cast<std::int64_t>(maxExclusive) - 1);
    return static_cast<std::int32_t>(draw(random));
}

float World::randomFloat(float min, float max) {
    if (!scriptedFloats.empty()) {
        const float value = scriptedFloats.front();
        scriptedFloats.pop_front();
        return value;
    }
    if (max <= min) return min;
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
