#pragma once
// What a host calls: the library entry on attach and detach, the script it registers and the
// keyboard handler. Any host loads the plug-in by calling onProcessAttach, as the game's loader
// does through DllMain.

#include <cstdint>

void onProcessAttach(void* module);
void onProcessDetach(void* module);
void scriptMain();
void keyboardHandler(std::uint32_t key, std::uint16_t repeats, std::uint8_t scanCode, std::int32_t isExtended,
                     std::int32_t isWithAlt, std::int32_t wasDownBefore, std::int32_t isUpNow);
