#pragma once
// What a host calls: the library entry on attach and detach, the script it registers and the
// keyboard handler. Any host loads the plug-in by calling onProcessAttach, as the game's loader
// does through DllMain.

struct HINSTANCE__;

#ifdef _WIN32
#define TOLLMERE_ENTRY_CALL __stdcall
#else
#define TOLLMERE_ENTRY_CALL
#endif
// The library entry the Windows loader calls with a reason: 1 attach, 0 detach, 2 and 3 a thread's
// start and end. Returns 1 (TRUE) to keep the library loaded.
extern "C" int TOLLMERE_ENTRY_CALL DllMain(HINSTANCE__* module, unsigned long reason, void* reserved);

void onProcessAttach(HINSTANCE__* module);
void onProcessDetach(HINSTANCE__* module);
void scriptMain();
// The host's keyboard handler type (see host/ScriptHost.h).
void keyboardHandler(unsigned long key, unsigned short repeats, unsigned char scanCode, int isExtended,
                     int isWithAlt, int wasDownBefore, int isUpNow);
