#include "plugin/Entry.h"

#include "host/ScriptHost.h"
#include "runtime/Keyboard.h"

void onProcessAttach(void* module) {
    scriptRegister(module, scriptMain);
    keyboardHandlerRegister(keyboardHandler);
}

void onProcessDetach(void* module) {
    scriptUnregister(module);
    keyboardHandlerUnregister(keyboardHandler);
}

void keyboardHandler(std::uint32_t key, std::uint16_t /*repeats*/, std::uint8_t /*scanCode*/,
                     std::int32_t /*isExtended*/, std::int32_t isWithAlt, std::int32_t wasDownBefore,
                     std::int32_t isUpNow) {
    tollmere::recordKey(key, isWithAlt, wasDownBefore, isUpNow);
}
