#pragma once
// What a host calls: the library entry on attach and detach, the script it registers and the
// keyboard handler. Any host loads the plug-in by calling onProcessAttach, as the game's loader
// does through DllMain.

struct HINSTANCE__;

void onProcessAttach(HINSTANCE__* module);
void onProcessDetach(HINSTANCE__* module);
void scriptMain();
// The host's keyboard handler type (see host/ScriptHost.h).
void keyboardHandler(unsigned long key, unsigned short repeats, unsigned char scanCode, int isExtended,
                     int isWithAlt, int wasDownBefore, int isUpNow);
