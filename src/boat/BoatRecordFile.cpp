#include "boat/BoatRecordFile.h"

#include "data/DataKeys.h"
#include "data/TextFormat.h"
#include "host/BoatTypes.h"

#include <stdexcept>
#include <string>

namespace tollmere {

std::int32_t boatModelInRecordFile(const char* path) {
    std::string content;
    if (!readWholeFile(path, content)) return 0;
    LineReader reader(withoutByteOrderMark(content));
    std::string_view line;
    std::string_view key;
    std::string_view value;
    std::string model;
    while (reader.next(line)) {
        if (line.empty()) continue;
        // The plug-in stops loading at such a line and stays off: the record gives it no boat.
        if (!splitEntry(line, key, value)) return 0;
        if (key == keys::ownedBoatModel) model = value;
    }
    try {
        const BoatType* type = findBoatType(parseInt(model));
        return type == nullptr ? 0 : type->model;
    } catch (const std::exception&) {
        return 0;
    }
}

}  // namespace tollmere
