#include "data/BaseDataFile.h"

#include "data/TextFormat.h"
#include "runtime/Log.h"

#include <string>

namespace tollmere {

bool BaseDataFile::load() {
    writeLog(std::string("loading data file: ") + path);
    std::string content;
    if (!readWholeFile(path, content)) {
        writeLog("unable to load from data file, please make sure it exists.");
        return false;
    }
    writeLog(std::string("data file found: ") + path);

    LineReader reader(withoutByteOrderMark(content));
    std::string_view line;
    int count = 0;
    while (reader.next(line)) {
        ++count;
        if (!parseLine(line)) {
            writeLog("data file '" + std::string(path) + "' is corruped at line: " + std::to_string(count));
            return false;
        }
    }
    writeLog("data file '" + std::string(path) + "' loaded, lines red: " + std::to_string(count));
    return true;
}

bool BaseDataFile::save(bool force) {
    if (!dirty && !force) return true;
    writeLog(std::string("saving ") + path);
    if (!writeFile()) {
        writeLog(std::string("save failed in file: ") + path);
        return false;
    }
    dirty = false;
    writeLog(std::string("file saved: ") + path);
    return true;
}

}  // namespace tollmere
