#include "World.h"

#include <cmath>

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
    entities[player.ped] = Entity{player.ped, EntityKind::ped, 0, Vec3{2180.0f, -640.0f, 42.0f}, 0.0f, true};
}

void World::advanceFrame() {
    ++frame;
    gameTimeMs += frameStepMs;
    auto settle = [this](Resource& resource, int loadFrames, bool never) {
        if (!resource.resident && !never && resource.requestedAtFrame >= 0 &&
            frame - resource.requestedAtFrame >= loadFrames) {
            resource.resident = true;
        }
    };
    for (auto& [name, dict] : textureDicts) settle(dict, textureLoadFrames, textureDictsThatNeverLoad.contains(name));
    for (auto& [model, resource] : models) settle(resource, modelLoadFrames, modelsThatNeverLoad.contains(model));
}

Entity* World::entity(std::uint32_t handle) {
    auto it = entities.find(handle);
    return it == entities.end() ? nullptr : &it->second;
}

std::uint32_t World::createVehicle(std::uint32_t model, const Vec3& position, float heading) {
    const std::uint32_t handle = nextEntity_++;
    entities[handle] = Entity{handle, EntityKind::vehicle, model, position, heading, false};
    return handle;
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

std::uint64_t World::makeText(Text text) {
    const std::uint64_t handle = kTextHandleTag | nextText_++;
    texts_[handle] = std::move(text);
    return handle;
}

const Text* World::text(std::uint64_t handle) const {
    auto it = texts_.find(handle);
    return it == texts_.end() ? nullptr : &it->second;
}

}  // namespace sim
