#include "plugin/Entry.h"

#include "host/ScriptHost.h"
#include "runtime/Keyboard.h"

#include <cstdint>

void onProcessAttach(HINSTANCE__* module) {
    scriptRegister(module, scriptMain);
    keyboardHandlerRegister(keyboardHandler);
}

void onProcessDetach(HINSTANCE__* module) {
    scriptUnregister(module);
    keyboardHandlerUnregister(keyboardHandler);
}

void keyboardHandler(unsigned long key, unsigned short /*repeats*/, unsigned char /*scanCode*/,
                     int /*isExtended*/, int isWithAlt, int wasDownBefore, int isUpNow) {
    // Key codes fit in 32 bits on every host; a wider value is no key and the table ignores it.
    if (key > UINT32_MAX) return;
    tollmere::recordKey(static_cast<std::uint32_t>(key), isWithAlt, wasDownBefore, isUpNow);
}
