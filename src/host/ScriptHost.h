#pragma once
// The eight functions of the script host library. The core declares them and never defines
// them: the Windows build imports them from ScriptHookQLX3.dll, the simulated game defines them.
//
// The host library exports them as C++ functions, so their decorated names encode the parameter
// types, and these declarations must decorate exactly as the host's own Windows-typed ones do
// (HMODULE, DWORD, WORD, BYTE, BOOL, UINT64). Each type below is what that Windows type is on
// 64-bit Windows, spelled without windows.h: the module handle is a pointer to the struct tag
// HINSTANCE__, and DWORD is unsigned long, which is 32 bits there (wider on Linux, so nothing may
// rely on its width). scripts/test checks the decorated names against the Windows declarations.

struct HINSTANCE__;

using KeyboardHandler = void (*)(unsigned long key, unsigned short repeats, unsigned char scanCode,
                                 int isExtended, int isWithAlt, int wasDownBefore, int isUpNow);

void scriptRegister(HINSTANCE__* module, void (*scriptMain)());
void scriptUnregister(HINSTANCE__* module);
void scriptWait(unsigned long milliseconds);
void nativeInit(unsigned long long hash);
void nativePush64(unsigned long long value);
unsigned long long* nativeCall();
void keyboardHandlerRegister(KeyboardHandler handler);
void keyboardHandlerUnregister(KeyboardHandler handler);
