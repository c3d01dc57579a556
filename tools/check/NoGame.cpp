// tollmere-check runs outside the game: it links the plug-in's data code, whose library also holds
// the code that talks to the game through the script host. These stand in for the host's eight
// functions so that the checker needs no host library; the checker never reaches them, and if a
// change ever made it do so it stops with a message rather than pretending to be a game.

#include "host/ScriptHost.h"

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void noGame(const char* function) {
    std::fprintf(stderr, "tollmere-check: %s called outside the game\n", function);
    std::abort();
}

}  // namespace

void scriptRegister(HINSTANCE__*, void (*)()) {
    noGame("scriptRegister");
}
void scriptUnregister(HINSTANCE__*) {
    noGame("scriptUnregister");
}
void scriptWait(unsigned long) {
    noGame("scriptWait");
}
void nativeInit(unsigned long long) {
    noGame("nativeInit");
}
void nativePush64(unsigned long long) {
    noGame("nativePush64");
}
unsigned long long* nativeCall() {
    noGame("nativeCall");
}
void keyboardHandlerRegister(KeyboardHandler) {
    noGame("keyboardHandlerRegister");
}
void keyboardHandlerUnregister(KeyboardHandler) {
    noGame("keyboardHandlerUnregister");
}
