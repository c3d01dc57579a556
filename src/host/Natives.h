#pragma once
// Every native the plug-in calls, declared once: name, hash, then the argument and result types
// of each call form in push order. Keep the list grouped by area and in step with the game's
// tables; tests check each entry against the simulated game's handlers.

#include "host/FeedRecords.h"
#include "host/Invoke.h"
#include "host/Types.h"

#include <array>
#include <cstdint>

// clang-format off
#define TOLLMERE_NATIVES(X) \
    /* player and script */ \
    X(getPlayerPed,             0x96275889B8E0EE0,  Ped()) \
    X(getPlayerId,              0x217E9DC48139933D, Player()) \
    X(getPlayerName,            0x7124FD9AC0E01BA0, const char*(Player)) \
    X(setPlayerControl,         0x4D51E59243281D80, void(Player, bool, int, int)) \
    X(isPlayerUnavailable,      0xAD401C63158ACBAA, bool(Player)) \
    X(isScriptedActivityActive, 0xB15CD1CF58771DE1, bool()) \
    X(displayHud,               0xD63FE3AF9FB3D53F, void(bool)) \
    X(addHudContext,            0x4CC5F2FC1332577F, void(Hash)) \
    X(removeHudContext,         0x8BC7C1F929D07BF3, void(Hash)) \
    X(doScreenFadeOut,          0x40C719A5E410B9E4, void(int)) \
    X(doScreenFadeIn,           0x6A053CF596F67DF7, void(int)) \
    X(registerDecorator,        0xB253D644E3C36B3,  void(const char*, int)) \
    X(setScriptTimer,           0xC1B1E9A034A63A62, void(int)) \
    X(getScriptTimer,           0x83666F9FB8FEBD4B, int()) \
    X(getGameTimer,             0x78FD8BE812E436B2, int()) \
    X(getFrameTime,             0x5E72022914CE3C38, float()) \
    X(isPlayerDead,             0x2E9C3FCB6798F397, bool(Player)) \
    X(getCurrentLanguage,       0xDB917DA5C6835FCC, int()) \
    /* what other scripts and the game hold of the screen */ \
    X(isPlayerControlOn,        0x7964097FCE4C244B, bool(Player)) \
    X(getRenderingCam,          0x03A8931ECC8015D6, Camera()) \
    X(isScreenFadedOut,         0xF5472C80DF2FF847, bool()) \
    X(isScreenFadingOut,        0x02F39BEFE7B88D00, bool()) \
    X(isScreenFadingIn,         0x0CECCC63FFA2EF24, bool()) \
    X(isHudHidden,              0x71B72B478F8189DC, bool()) \
    X(isPauseMenuActive,        0x535384D6067BA42E, bool()) \
    X(isAnyUiAppRunning,        0xDB30BEC7A7A5CBD3, bool()) \
    X(isLoadingScreenActive,    0x71D4BF5890659B0C, bool()) \
    /* texts and the feed */ \
    X(createVarString,          0xFA925AC00EB830B9, TextHandle(int, const char*, const char*), \
                                                    TextHandle(int, const char*, int, TextHandle), \
                                                    TextHandle(int, const char*, int)) \
    X(setNoticeText,            0xFA233F8FE190514C, void(TextHandle)) \
    X(showNoticeText,           0xE9990552DEC71600, void()) \
    X(clearNoticeText,          0xDFF0D417277B41F8, void()) \
    X(postHelpText,             0x049D5C615BD38BAD, void(const HelpTextDuration*, const HelpTextRecord*, bool)) \
    X(postMoneyToast,           0xB249EBCB30DD88E0, void(const MoneyToastDuration*, const MoneyToastRecord*, bool)) \
    /* drawing and sounds */ \
    X(setTextColor,             0x16FA5CE47F184F1E, void(int, int, int, int)) \
    X(setTextScale,             0xA1253A3C870B6843, void(float, float)) \
    X(setTextCentre,            0xBE5261939FBECB8C, void(bool)) \
    X(displayText,              0x16794E044C9EFB58, void(TextHandle, float, float)) \
    X(drawTextureRect,          0xC9884ECADE94CB34, void(const char*, const char*, float, float, float, float, float, \
                                                         int, int, int, int, bool)) \
    X(stopNamedSound,           0x0F2A2175734926D8, void(const char*, const char*)) \
    X(playFrontendSound,        0x67C540AA08E4A6F5, void(const char*, const char*, bool, int)) \
    /* prompts and controls */ \
    X(beginPromptRegistration,  0x4F97DE45A519419,  PromptHandle()) \
    X(setPromptControl,         0xB5352B7494A08258, void(PromptHandle, Hash)) \
    X(setPromptText,            0x5DD02A8318420DD7, void(PromptHandle, TextHandle)) \
    X(setPromptGroup,           0x2F11D3A254169EA4, void(PromptHandle, int, int)) \
    X(setPromptPressMode,       0xCC6656799977741B, void(PromptHandle, bool)) \
    X(setPromptHoldMode,        0x94073D5CA3F16B7B, void(PromptHandle, bool)) \
    X(setPromptStandardHoldMode, 0x74C7D7B72ED0D3CF, void(PromptHandle, bool)) \
    X(setPromptAttribute,       0x560E76D5E2E1803F, void(PromptHandle, int, bool)) \
    X(endPromptRegistration,    0xF7AA2696A22AD8B9, void(PromptHandle)) \
    X(setPromptEnabled,         0x8A0FB4D03A630D21, void(PromptHandle, bool)) \
    X(setPromptVisible,         0x71215ACCFDE075EE, void(PromptHandle, bool)) \
    X(hasPromptPressCompleted,  0xC92AC953F0A982AE, bool(PromptHandle, int)) \
    X(hasPromptHoldCompleted,   0xE0F65F0640EF0617, bool(PromptHandle)) \
    X(isControlPressed,         0xF3A21BCD95725A4A, bool(int, Hash)) \
    X(isDisabledControlPressed, 0xE2587F8CBBD87B1D, bool(int, Hash)) \
    X(isControlJustPressed,     0x580417101DDB492F, bool(int, Hash)) \
    X(isDisabledControlJustPressed, 0x91AEF906BCA88877, bool(int, Hash)) \
    /* scripted camera */ \
    X(createCameraWithParams,   0x40C23491CE83708E, Camera(const char*, Vec3, float, float, float, float, bool, int)) \
    X(setCamCoord,              0xF9EE7D419EE49DE6, void(Camera, Vec3)) \
    X(pointCamAtCoord,          0x948B39341C3A40C2, void(Camera, Vec3)) \
    X(setCamActive,             0x87295BCA613800C8, void(Camera, bool)) \
    X(renderScriptCams,         0x33281167E4942E4F, void(bool, bool, int, bool, bool, int)) \
    /* textures and models */ \
    X(hasTextureDictLoaded,     0x54D6900929CCF162, bool(const char*)) \
    X(requestTextureDict,       0xC1BA29DF5631B0F8, void(const char*, bool)) \
    X(hasModelLoaded,           0x1283B8B89DD5D1B6, bool(Hash)) \
    X(requestModel,             0xFA28FE3A6246FC30, void(Hash, bool)) \
    /* blips */ \
    X(createBlipForEntity,      0x23F74C2FDA6E7C61, Blip(Hash, Entity)) \
    X(createBlipForPoint,       0x554D9D53F696D002, Blip(Hash, Vec3)) \
    X(setBlipSprite,            0x74F74D3207ED525C, void(Blip, Hash, int)) \
    X(doesBlipExist,            0xCD82FA174080B3B1, bool(Blip)) \
    X(deleteBlip,               0xF2C3C9DA47AAA54A, void(Blip*)) \
    X(setBlipNameText,          0x9CB1A1623062F402, void(Blip, TextHandle)) \
    X(getBlipFromEntity,        0x6D2C41A8BD6D6FD0, Blip(Entity)) \
    X(enableBlipModifier,       0x662D364ABF16DE2F, void(Blip, Hash)) \
    X(disableBlipModifier,      0xB059D7BD3D78C16F, void(Blip, Hash)) \
    /* entities and positions */ \
    X(getEntityCoords,          0xA86D5F069399F44D, Vec3(Entity, bool, bool)) \
    X(getEntityForwardVector,   0x2412D9C05BB09B97, Vec3(Entity)) \
    X(getEntityHeading,         0xC230DD956E2F5507, float(Entity)) \
    X(getEntitySpeed,           0xFB6BA510A533DF81, float(Entity)) \
    X(getEntityModel,           0xDA76A9F39210D365, Hash(Entity)) \
    X(getDistanceBetweenCoords, 0xBE7F4E3CDBAFB28,  float(Vec3, Vec3, bool)) \
    X(setEntityCoords,          0x06843DA7060A026B, void(Entity, Vec3, bool, bool, bool, bool)) \
    X(setEntityHeading,         0xCF2B9C0645C4651B, void(Entity, float)) \
    X(doesEntityExist,          0xD42BD6EB2E0F1677, bool(Entity)) \
    X(isEntityDead,             0xDDBEA5506C848227, bool(Entity)) \
    X(getEntityHealthFraction,  0x96C638784DB4C815, float(Entity)) \
    X(getEntityMaxHealth,       0x15D757606D170C3C, int(Entity, int)) \
    X(setEntityMaxHealth,       0x166E7CF68597D8B5, void(Entity, int)) \
    X(setEntityHealth,          0xAC2767ED8BDFAB15, void(Entity, int, int)) \
    X(releaseEntity,            0x4971D2F8162B9674, void(Entity*)) \
    X(decorGetInt,              0x44DB62727762FD9B, int(Entity, const char*)) \
    X(decorSetInt,              0xE88F4D7F52A6090F, void(Entity, const char*, int)) \
    /* peds */ \
    X(isPedOnFoot,              0x1FEE67DB37F59B2,  bool(Ped)) \
    X(isPedInAnyBoat,           0x2E0E1C2B4F6CB339, bool(Ped)) \
    X(isPedInVehicle,           0xA3EE4A07279BB9DB, bool(Ped, Vehicle, bool)) \
    X(getVehiclePedIsIn,        0x9A9112A0FE9A4713, Vehicle(Ped, bool)) \
    X(getVehiclePedIsEntering,  0xF92691AED837A5FC, Vehicle(Ped)) \
    X(createPedInsideVehicle,   0x7DD959874C1FD534, Ped(Vehicle, Hash, int, int, int, int)) \
    X(setRandomOutfitVariation, 0x283978A15512B2FE, void(Ped, bool)) \
    X(createGroup,              0x90370EBE0FEE1A3D, int(int)) \
    X(setPedAsGroupLeader,      0x2A7819605465FBCE, void(Ped, int, bool)) \
    X(getPedGroupIndex,         0xF162E133B4E7A675, int(Ped)) \
    X(setPedAsGroupMember,      0x9F3480FE65DB31B5, void(Ped, int)) \
    X(setPedConfigFlag,         0x1913FE4CBF41C463, void(Ped, int, bool)) \
    X(isEntityIncapacitated,    0x7D5B1F88E7504BBA, bool(Entity)) \
    X(isPedHogtied,             0x3AA24CCC0D451379, bool(Ped)) \
    X(isPedFleeing,             0xBBCCE00B381F8482, bool(Ped)) \
    X(getDriverOfVehicle,       0x2963B5C1637E8A27, Ped(Vehicle)) \
    /* tasks */ \
    X(taskVehicleDriveWander,   0x480142959D337D00, void(Ped, Vehicle, float, int)) \
    X(taskVehicleEscort,        0x9454528DF15D657A, void(Ped, Vehicle, Ped, int, float, int, float, float, int)) \
    X(taskVehicleDriveToCoord,  0xE2A2AA2F659D77A7, void(Ped, Vehicle, Vec3, float, int, Hash, int, float, float)) \
    X(taskCombatPed,            0xF166E48407BAC484, void(Ped, Ped, int, int)) \
    X(openSequenceTask,         0xE8854A4326B9E12B, void(std::int32_t*)) \
    X(taskLeaveVehicle,         0xD3DBCE61A490BE02, void(int, Vehicle, int, int)) \
    X(closeSequenceTask,        0x39E72BC99E6360CB, void(std::int32_t)) \
    X(taskPerformSequence,      0x5ABA3986D90D8A3B, void(Ped, std::int32_t)) \
    /* vehicles */ \
    X(createVehicle,            0xAF35D0D2583051B0, Vehicle(Hash, Vec3, float, bool, bool, bool, bool)) \
    X(placeVehicleOnGround,     0x7263332501E07F52, void(Vehicle, int)) \
    X(deleteVehicle,            0x4CD38C78BD19A497, void(Vehicle*)) \
    X(getVehiclePropSet,        0xCE2ACD6F602803E5, std::uint32_t(Vehicle)) \
    X(getVehicleLanternPropSet, 0xA079300AF757FB1A, std::uint32_t(Vehicle)) \
    X(getPropSetHash,           0xA6A9712955F53D9C, Hash(std::uint32_t)) \
    X(setVehiclePropSet,        0xD80FAF919A2E56EA, void(Vehicle, Hash)) \
    X(setVehicleLanternPropSet, 0xC0F0417A90402742, void(Vehicle, Hash)) \
    X(setVehicleTint,           0x8268B098F6FCA4E2, void(Vehicle, int)) \
    X(setVehicleFixed,          0x79811282A9D1AE56, void(Vehicle)) \
    X(cleanVehicleStep1,        0x758C3460EE915D0A, void(Vehicle, int)) \
    X(cleanVehicleStep2,        0x6F73EFAB11651D7F, void(Vehicle, int)) \
    X(cleanVehicleStep3,        0x5AABB09F6FBD1F87, void(Vehicle, int)) \
    X(cleanVehicleStep4,        0x4D15E49764CB328A, void(Vehicle, int)) \
    X(setBoatAnchor,            0xAEAB044F05B92659, void(Vehicle, bool)) \
    X(setBoatAnchorHold,        0x286771F3059A37A7, void(Vehicle, bool, int)) \
    X(getVehiclePassengerCapacity, 0xA9C55F1C15E62E06, int(Vehicle)) \
    X(isVehicleDriveable,       0xB86D29B10F627379, bool(Vehicle, bool, bool)) \
    X(setVehicleRetired,        0x6E884BAB713A2A94, void(Vehicle, bool)) \
    X(setVehicleAsNoLongerNeeded, 0x629BFA74418D6239, void(Vehicle*)) \
    /* hashes, random numbers, money */ \
    X(hashOf,                   0xFD340785ADF8CFB7, Hash(const char*)) \
    X(getRandomIntInRange,      0xD53343AA4FB7DD28, int(int, int)) \
    X(getRandomFloatInRange,    0xE29F927A961F8AAA, float(float, float)) \
    X(addPlayerCash,            0xBC3422DC91667621, void(int, Hash)) \
    X(removePlayerCash,         0x466BC8769CF26A7A, void(int)) \
    X(getPlayerCash,            0xC02DABFA3B98176,  int())
// clang-format on

namespace tollmere::native {

#define TOLLMERE_DECLARE_NATIVE(name, hash, ...) inline constexpr Native<hash, __VA_ARGS__> name{};
TOLLMERE_NATIVES(TOLLMERE_DECLARE_NATIVE)
#undef TOLLMERE_DECLARE_NATIVE

// What the plug-in declares, for checking against a host: the slot count of each call form.
struct NativeInfo {
    const char* name;
    std::uint64_t hash;
    std::array<int, 4> slotCounts;  // -1 past the last form
};

template <std::uint64_t Hash, typename... Signatures>
constexpr std::array<int, 4> slotCountsOf(const Native<Hash, Signatures...>&) {
    std::array<int, 4> counts{-1, -1, -1, -1};
    int i = 0;
    ((counts[i++] = NativeForm<Hash, Signatures>::kSlots), ...);
    return counts;
}

#define TOLLMERE_DESCRIBE_NATIVE(name, hash, ...) NativeInfo{#name, hash, slotCountsOf(name)},
inline constexpr NativeInfo kDeclaredNatives[] = {TOLLMERE_NATIVES(TOLLMERE_DESCRIBE_NATIVE)};
#undef TOLLMERE_DESCRIBE_NATIVE

}  // namespace tollmere::native
