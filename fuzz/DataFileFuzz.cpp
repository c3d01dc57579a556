// Any bytes as a data file: loading never crashes, every getter either answers or throws the
// reading errors callers expect, and a file that loads is written so that it loads again to the
// same entries (and writing that gives the same bytes). A written file the plug-in cannot read
// back turns it off at the next start.

#include "FuzzSupport.h"
#include "data/DictDataFile.h"

#include <stdexcept>

namespace {

constexpr const char* kPath = "Tollmere/Fuzz.dat";

void readEveryWay(const tollmere::DictDataFile& file) {
    for (const auto& [key, value] : file.allEntries()) {
        // The getters take C strings, as the plug-in's keys are: a key holding a NUL names another.
        if (key.find('\0') != std::string::npos) continue;
        if (std::string_view(file.getString(key.c_str())) != std::string_view(value.c_str())) {
            tollmere::fuzz::broken("getString differs from the stored value of", key);
        }
        try {
            (void)file.getInt(key.c_str());
            (void)file.getBool(key.c_str());
        } catch (const std::invalid_argument&) {
        } catch (const std::out_of_range&) {
        }
        try {
            (void)file.getFloat(key.c_str());
        } catch (const std::invalid_argument&) {
        } catch (const std::out_of_range&) {
        }
        try {
            (void)file.getVec3(key.c_str());
        } catch (const std::invalid_argument&) {
        } catch (const std::out_of_range&) {
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tollmere;
    fuzz::enterWorkFolder();
    fuzz::clearLog();
    fuzz::writeFile(kPath, std::string_view(reinterpret_cast<const char*>(data), size));

    DictDataFile loaded(kPath);
    const bool accepted = loaded.load();
    readEveryWay(loaded);
    // A file the plug-in rejects is never written back by it.
    if (!accepted) return 0;

    if (!loaded.save(true)) fuzz::broken("saving a loaded file failed");
    const std::string written = fuzz::readFile(kPath);

    DictDataFile reread(kPath);
    if (!reread.load()) fuzz::broken("a written file does not load again:", written);
    if (reread.allEntries() != loaded.allEntries())
        fuzz::broken("a written file loads to other entries:", written);

    if (!reread.save(true)) fuzz::broken("saving a reloaded file failed");
    if (fuzz::readFile(kPath) != written)
        fuzz::broken("writing the reloaded file gives other bytes:", written);
    return 0;
}
