#include "Host.h"
#include "natives/Registration.h"

#include <algorithm>

namespace sim {

namespace {

// Takes the ped out of the group it belongs to, as leader or member.
void leaveGroup(World& world, Entity& ped) {
    if (auto group = world.groups.find(ped.group); group != world.groups.end()) {
        std::erase(group->second.members, ped.handle);
        if (group->second.leader == ped.handle) group->second.leader = 0;
    }
    ped.group = -1;
}

Entity* ped(World& world, std::uint32_t handle) {
    return world.usePed(handle);
}

}  // namespace

void registerPedNatives(Host& host) {
    World& world = host.world();

    host.registerNative("createPedInsideVehicle", 0x7DD959874C1FD534, {6}, [&world](Call& call) {
        call.only(3, 0, "the first creation flag");
        call.only(4, 0, "the second creation flag");
        call.only(5, 0, "the third creation flag");
        world.useVehicle(call.u32(0));
        const std::uint32_t ped = world.createPedInsideVehicle(call.u32(0), call.u32(1), call.i32(2));
        if (ped != 0) world.entity(ped)->madeByScript = true;
        call.returns(ped);
    });
    host.registerNative("setRandomOutfitVariation", 0x283978A15512B2FE, {2}, [&world](Call& call) {
        const bool random = call.flag(1);
        if (Entity* e = ped(world, call.u32(0)); e != nullptr) e->randomOutfit = random;
    });
    host.registerNative("setPedConfigFlag", 0x1913FE4CBF41C463, {3}, [&world](Call& call) {
        const std::int32_t flag = call.i32(1);
        const bool value = call.flag(2);
        if (Entity* e = ped(world, call.u32(0)); e != nullptr) e->configFlags[flag] = value;
    });
    host.registerNative("isPedHogtied", 0x3AA24CCC0D451379, {1}, [&world](Call& call) {
        const Entity* e = ped(world, call.u32(0));
        call.returns(e != nullptr && e->hogtied);
    });
    host.registerNative("isPedFleeing", 0xBBCCE00B381F8482, {1}, [&world](Call& call) {
        const Entity* e = ped(world, call.u32(0));
        call.returns(e != nullptr && e->fleeing);
    });
    host.registerNative("getDriverOfVehicle", 0x2963B5C1637E8A27, {1}, [&world](Call& call) {
        world.useVehicle(call.u32(0));
        call.returns(world.driverOf(call.u32(0)));
    });

    // Groups. The game ignores a ped or a group it does not know, -1 included.
    host.registerNative("createGroup", 0x90370EBE0FEE1A3D, {1}, [&world](Call& call) {
        call.only(0, 0, "the kind of group");
        call.returns(world.createGroup());
    });
    host.registerNative("setPedAsGroupLeader", 0x2A7819605465FBCE, {3}, [&world](Call& call) {
        call.only(2, 1, "the leader flag");
        Entity* e = ped(world, call.u32(0));
        auto group = world.groups.find(call.i32(1));
        if (e == nullptr || group == world.groups.end()) return;
        leaveGroup(world, *e);
        if (Entity* previous = world.entity(group->second.leader); previous != nullptr) previous->group = -1;
        group->second.leader = e->handle;
        e->group = group->first;
    });
    host.registerNative("setPedAsGroupMember", 0x9F3480FE65DB31B5, {2}, [&world](Call& call) {
        Entity* e = ped(world, call.u32(0));
        auto group = world.groups.find(call.i32(1));
        if (e == nullptr || group == world.groups.end()) return;
        leaveGroup(world, *e);
        group->second.members.push_back(e->handle);
        e->group = group->first;
    });
    host.registerNative("getPedGroupIndex", 0xF162E133B4E7A675, {1}, [&world](Call& call) {
        const Entity* e = ped(world, call.u32(0));
        call.returns(e != nullptr ? e->group : -1);
    });
}

}  // namespace sim
