#include "data/DictDataFile.h"

#include "data/TextFormat.h"
#include "runtime/Log.h"
#include "runtime/Platform.h"

#include <stdexcept>

namespace tollmere {

namespace {
constexpr std::int32_t kMissingInt = -999;
constexpr float kMissingFloat = -999.0f;

// The reading error alone ("invalid stoi argument") tells the player nothing about where to look:
// the file, key and value go to the log first, and the error goes on to the caller as before.
template <typename Read>
auto readNamed(const char* path, const char* key, const std::string& value, Read read) {
    try {
        return read();
    } catch (const std::exception& error) {
        writeLog(std::string("could not read the value of ") + key + " in " + path + ": '" + value + "' (" +
                 error.what() + ")");
        throw;
    }
}
}  // namespace

bool DictDataFile::parseLine(std::string_view line) {
    if (line.empty()) return true;
    std::string_view key;
    std::string_view value;
    if (!splitEntry(line, key, value)) {
        writeLog(cannotParseLineMessage(line));
        return false;
    }
    // Loading fills the map but is not a change to save, so dirty stays as it was.
    entries.insert_or_assign(std::string(key), std::string(value));
    ++changes;
    return true;
}

void DictDataFile::layOver(std::string_view key, std::string_view value, const char* origin) {
    if (value.empty()) return;
    entries.insert_or_assign(std::string(key), std::string(value));
    origins.insert_or_assign(std::string(key), origin);
    ++changes;
}

const char* DictDataFile::pathOf(const char* key) const {
    const auto it = origins.find(std::string_view(key));
    return it == origins.end() ? path : it->second;
}

bool DictDataFile::writeFile() {
    return writeCopy(path);
}

bool DictDataFile::writeCopy(const char* target) const {
    // Rewriting the file in place lost the player's boat record when the game died or the disk
    // filled up halfway through a save, and the save still reported success. The content is
    // built whole and swapped in only once it is known to be on disk; on any failure the old
    // file stays as it was.
    std::string content;
    // A byte-order mark is skipped at the very start of a file only: a first key that begins with
    // one (it can stand inside a hand-edited file) would lose it when read back, so a blank line
    // goes first.
    if (!entries.empty() &&
        withoutByteOrderMark(entries.begin()->first).size() != entries.begin()->first.size()) {
        content += '\n';
    }
    for (const auto& [key, value] : entries) {
        content += key;
        content += '=';
        content += value;
        // "key=" is not a line the file can be read from, and a carriage return at a line's end
        // is taken for part of the line break; a closing '=' reads back as nothing, so such a
        // value (a hand-edited "note==" loads as empty) comes back as it was.
        if (value.empty() || value.back() == '\r') content += '=';
        content += '\n';
    }

    switch (platform::replaceFileContents(target, content)) {
        case platform::ReplaceResult::replaced:
            return true;
        case platform::ReplaceResult::cannotOpen:
            writeLog("unable to open file, please make sure it exists.");
            return false;
        case platform::ReplaceResult::writeFailed:
            return false;
    }
    return false;
}

void DictDataFile::reload() {
    // A file that can no longer be read must not leave the record empty: the player would lose
    // his boat over a file he only has to put back.
    auto kept = std::move(entries);
    entries.clear();
    ++changes;
    if (load()) {
        dirty = false;
        return;
    }
    entries = std::move(kept);
    ++changes;
}

const std::string* DictDataFile::find(const char* key) const {
    const auto it = entries.find(std::string_view(key));
    return it == entries.end() ? nullptr : &it->second;
}

const char* DictDataFile::getString(const char* key) const {
    const std::string* value = find(key);
    return value == nullptr ? "" : value->c_str();
}

std::int32_t DictDataFile::getInt(const char* key) const {
    const std::string* value = find(key);
    if (value == nullptr || value->empty()) return kMissingInt;
    return readNamed(pathOf(key), key, *value, [value] { return parseInt(*value); });
}

bool DictDataFile::getBool(const char* key) const {
    const std::string* value = find(key);
    if (value == nullptr || value->empty()) return false;
    const std::int32_t number = readNamed(pathOf(key), key, *value, [value] { return parseInt(*value); });
    return number != 0 && number != kMissingInt;
}

float DictDataFile::getFloat(const char* key) const {
    const std::string* value = find(key);
    if (value == nullptr || value->empty()) return kMissingFloat;
    return readNamed(pathOf(key), key, *value, [value] { return parseFloat(*value); });
}

Vec3 DictDataFile::getVec3(const char* key) const {
    const std::string* value = find(key);
    if (value == nullptr || value->empty()) return {};

    return readNamed(pathOf(key), key, *value, [value] {
        // The three pieces are read in place: a number never runs past a ',', so reading from a
        // piece's start gives what reading the piece alone would, without copying it out.
        const std::size_t firstComma = value->find(',');
        const std::size_t secondComma =
            firstComma == std::string::npos ? std::string::npos : value->find(',', firstComma + 1);
        // A third piece needs a second ',' with something after it.
        if (secondComma == std::string::npos || secondComma + 1 == value->size()) {
            throw std::out_of_range("invalid vector subscript");
        }
        const char* text = value->c_str();
        return Vec3{parseFloat(text), parseFloat(text + firstComma + 1), parseFloat(text + secondComma + 1)};
    });
}

void DictDataFile::setString(const char* key, std::string_view value) {
    if (value.empty()) {
        const auto it = entries.find(std::string_view(key));
        if (it != entries.end()) {
            entries.erase(it);
            dirty = true;
            ++changes;
        }
        return;
    }
    const auto it = entries.find(std::string_view(key));
    if (it == entries.end()) {
        entries.emplace(key, value);
    } else {
        it->second.assign(value);
    }
    dirty = true;
    ++changes;
}

void DictDataFile::setInt(const char* key, std::int32_t value) {
    setString(key, formatInt(value));
}

void DictDataFile::setFloat(const char* key, float value) {
    setString(key, formatFloat(value));
}

void DictDataFile::setVec3(const char* key, const Vec3& value) {
    setString(key, formatVec3(value));
}

}  // namespace tollmere
