#include "data/DataFiles.h"

#include "runtime/Log.h"

#include <deque>
#include <string>

namespace tollmere {

DictDataFile* LangData = nullptr;
DictDataFile* ConfigsData = nullptr;
DictDataFile* PlayerBoatData = nullptr;
DictDataFile* TutorialFlagsData = nullptr;

const char* dataFilePath(const char* name) {
    // Data files keep the pointer for the life of the process. A deque never moves its elements
    // when it grows, and it is never destroyed, so the texts stay put even during exit.
    static auto* const paths = new std::deque<std::string>();
    return paths->emplace_back(std::string("Tollmere/") + name).c_str();
}

namespace {

bool createAndLoad(DictDataFile*& global, const char* name) {
    // Stored before loading, so a file that fails to load is still reachable.
    global = new DictDataFile(dataFilePath(name));
    return global->load();
}

}  // namespace

bool loadDataFiles() {
    if (!createAndLoad(LangData, "Lang.dat")) return false;
    if (!createAndLoad(ConfigsData, "Configs.dat")) return false;
    if (!createAndLoad(PlayerBoatData, "PlayerBoat.dat")) return false;
    if (!createAndLoad(TutorialFlagsData, "TutorialFlags.dat")) {
        writeLog("TutorialFlags didn't load properly, continuing anyway.");
    }
    return true;
}

}  // namespace tollmere
