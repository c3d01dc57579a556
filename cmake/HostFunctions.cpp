// The eight host functions as the host library declares them, with the Windows SDK's types, and
// as the plug-in declares them in src/host/ScriptHost.h. scripts/test compiles this file both ways
// with clang for the Microsoft target and compares the decorated names it references: the two
// must match each other and the names Tollmere.asi imports, or Windows refuses to load the plug-in.
// Nothing here is built into the plug-in.

#ifdef WINDOWS_TYPES
#include <windows.h>

void scriptRegister(HMODULE module, void (*LP_SCRIPT_MAIN)());
void scriptUnregister(HMODULE module);
void scriptWait(DWORD time);
void nativeInit(UINT64 hash);
void nativePush64(UINT64 val);
PUINT64 nativeCall();
typedef void (*KeyboardHandler)(DWORD, WORD, BYTE, BOOL, BOOL, BOOL, BOOL);
void keyboardHandlerRegister(KeyboardHandler handler);
void keyboardHandlerUnregister(KeyboardHandler handler);
#else
#include "host/ScriptHost.h"
#endif

// Calling each function makes the compiler reference it by its decorated name.
void referenceHostFunctions() {
    scriptRegister(nullptr, nullptr);
    scriptUnregister(nullptr);
    scriptWait(0);
    nativeInit(0);
    nativePush64(0);
    nativeCall();
    keyboardHandlerRegister(nullptr);
    keyboardHandlerUnregister(nullptr);
}
