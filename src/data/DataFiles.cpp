#include "data/DataFiles.h"

#include "runtime/Log.h"
#include "runtime/Platform.h"

#include <deque>
#include <set>
#include <string>
#include <string_view>

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

float configPrice(const char* key) {
    const float price = ConfigsData->getFloat(key);
    if (price >= 0.0f) return price;
    // A missing price used to read as -999 and be "charged", which paid the player. Named once,
    // since prices are read again while the shop is open.
    // Looked up before inserting: building the key's string to insert would allocate on every frame
    // the price is read.
    static auto* const named = new std::set<std::string, std::less<>>();
    if (!named->contains(std::string_view(key))) {
        named->emplace(key);
        const char* value = ConfigsData->getString(key);
        std::string_view file = ConfigsData->pathOf(key);
        if (file.starts_with("Tollmere/")) file.remove_prefix(std::string_view("Tollmere/").size());
        writeLog(*value == '\0'
                     ? std::string(file) + " has no price for " + key + ", so that service is not offered"
                     : std::string(file) + " gives " + key + " the price " + value +
                           ", below 0, so that service is not offered");
    }
    return -1.0f;
}

namespace {

bool createAndLoad(DictDataFile*& global, const char* name) {
    // Stored before loading, so a file that fails to load is still reachable.
    global = new DictDataFile(dataFilePath(name));
    // The file itself is whole (a save swaps it in only once written); what a cut-short save
    // left beside it is of no use and would lie there for ever.
    if (platform::removeUnfinishedReplacement(global->getPath())) {
        writeLog(std::string("removed the unfinished save left beside ") + global->getPath());
    }
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
