// Any bytes as Settings.ini: loading never crashes, and every setting the plug-in reads answers
// without throwing, since it is read on every frame and a throw there stopped the saves.

#include "FuzzSupport.h"
#include "data/Settings.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tollmere;
    fuzz::enterWorkFolder();
    fuzz::clearLog();
    constexpr const char* kPath = "Tollmere/Settings.ini";
    fuzz::writeFile(kPath, std::string_view(reinterpret_cast<const char*>(data), size));

    static const auto defaults = defaultSettings();
    loadSettings(kPath, defaults);
    for (const auto& [key, fallback] : defaults) {
        try {
            (void)getSettingBool(key.c_str());
            if (std::isnan(getSettingFloat(key.c_str()))) fuzz::broken("a setting reads as NaN:", key);
        } catch (const std::exception& error) {
            fuzz::broken("reading a setting threw", error.what());
        }
    }
    return 0;
}
