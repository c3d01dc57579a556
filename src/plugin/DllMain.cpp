// The Windows library entry. It only forwards the process attach and detach to the plug-in;
// everything else lives in the core. Elsewhere the simulated host calls it as the loader would.
// No OS headers here: the entry's signature and the reason codes are spelled out instead.

#include "plugin/Entry.h"

namespace {

// Reason codes the Windows loader passes to the library entry.
constexpr unsigned long processDetach = 0;
constexpr unsigned long processAttach = 1;
// Thread attach (2) and thread detach (3) need nothing from the plug-in.

constexpr int succeeded = 1;  // TRUE: the loader keeps the library.

}  // namespace

extern "C" int TOLLMERE_ENTRY_CALL DllMain(HINSTANCE__* module, unsigned long reason,
                                           [[maybe_unused]] void* reserved) {
    switch (reason) {
        case processAttach:
            onProcessAttach(module);
            break;
        case processDetach:
            onProcessDetach(module);
            break;
        default:
            break;
    }
    return succeeded;
}
