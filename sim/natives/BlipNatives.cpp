#include "Host.h"
#include "natives/Registration.h"

namespace sim {

void registerBlipNatives(Host& host) {
    World& world = host.world();

    host.registerNative("createBlipForEntity", 0x23F74C2FDA6E7C61, {2}, [&world](Call& call) {
        const std::uint32_t entity = call.u32(1);
        if (world.use(entity) == nullptr) {
            call.returns(0u);
            return;
        }
        const std::uint32_t blip = world.createBlip(call.u32(0));
        world.blips[blip].entity = entity;
        call.returns(blip);
    });
    host.registerNative("createBlipForPoint", 0x554D9D53F696D002, {4}, [&world](Call& call) {
        const std::uint32_t blip = world.createBlip(call.u32(0));
        world.blips[blip].point = call.vec(1);
        call.returns(blip);
    });
    host.registerNative("setBlipSprite", 0x74F74D3207ED525C, {3}, [&world](Call& call) {
        call.only(2, 0, "the sprite's flag");
        const std::uint32_t sprite = call.u32(1);
        if (Blip* blip = world.useBlip(call.u32(0)); blip != nullptr) blip->sprite = sprite;
    });
    // Asking is how a script learns a blip went with its entity: only a handle that never was one
    // is refused.
    host.registerNative("doesBlipExist", 0xCD82FA174080B3B1, {1}, [&world](Call& call) {
        const std::uint32_t handle = call.u32(0);
        if (handle != 0 && !world.blipEverMade(handle)) world.useBlip(handle);
        call.returns(world.blips.contains(handle));
    });
    host.registerNative("deleteBlip", 0xF2C3C9DA47AAA54A, {1}, [&world](Call& call) {
        auto* handle = call.ptr<std::uint32_t>(0);
        if (handle == nullptr) call.fail("needs the address of a blip handle");
        if (world.useBlip(*handle) != nullptr) world.blips.erase(*handle);
        *handle = 0;
    });
    host.registerNative("setBlipNameText", 0x9CB1A1623062F402, {2}, [&world](Call& call) {
        const Text* text = world.text(call.raw(1));
        if (text == nullptr) call.fail("a game text handle that createVarString never made");
        if (Blip* blip = world.useBlip(call.u32(0)); blip != nullptr) blip->name = text->text;
    });
    host.registerNative("enableBlipModifier", 0x662D364ABF16DE2F, {2}, [&world](Call& call) {
        const std::uint32_t modifier = call.u32(1);
        if (Blip* blip = world.useBlip(call.u32(0)); blip != nullptr) blip->modifiers.insert(modifier);
    });
    host.registerNative("disableBlipModifier", 0xB059D7BD3D78C16F, {2}, [&world](Call& call) {
        const std::uint32_t modifier = call.u32(1);
        if (Blip* blip = world.useBlip(call.u32(0)); blip != nullptr) blip->modifiers.erase(modifier);
    });
    host.registerNative("getBlipFromEntity", 0x6D2C41A8BD6D6FD0, {1}, [&world](Call& call) {
        const Entity* entity = world.use(call.u32(0));
        const Blip* blip = entity != nullptr ? world.blipOn(entity->handle) : nullptr;
        call.returns(blip != nullptr ? blip->handle : 0u);
    });
}

}  // namespace sim
