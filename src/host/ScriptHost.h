#pragma once
// The eight functions of the script host library. The core declares them and never defines
// them: the Windows build imports them from ScriptHookQLX3.dll, the simulated game defines them.

#include <cstdint>

void scriptRegister(void* module, void (*scriptMain)());
void scriptUnregister(void* module);
void scriptWait(std::uint32_t milliseconds);
void nativeInit(std::uint64_t hash);
void nativePush64(std::uint64_t value);
std::uint64_t* nativeCall();
using KeyboardHandler = void (*)(std::uint32_t key, std::uint16_t repeats, std::uint8_t scanCode,
                                 std::int32_t isExtended, std::int32_t isWithAlt,
                                 std::int32_t wasDownBefore, std::int32_t isUpNow);
void keyboardHandlerRegister(KeyboardHandler handler);
void keyboardHandlerUnregister(KeyboardHandler handler);
