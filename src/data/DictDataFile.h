#pragma once
// The data file of the plug-in: an ordered map of key=value texts with typed getters and
// setters. A missing key is never an error: it reads as "", -999, -999.0, false or (0, 0, 0).
// A value that is not a number makes the numeric getters throw std::invalid_argument or
// std::out_of_range; nothing here catches it.

#include "data/BaseDataFile.h"
#include "host/Types.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace tollmere {

class DictDataFile final : public BaseDataFile {
  public:
    explicit DictDataFile(const char* filePath) : BaseDataFile(filePath) {}

    // Empty lines are accepted and ignored; "key=value" stores (the last line for a key wins);
    // anything else is logged and rejected.
    bool parseLine(std::string_view line) override;

    // One "key=value\n" line per entry, in key order; a value that would not read back as it is
    // (empty, or ending in a carriage return) gets a closing '='.
    bool writeFile() override;
    // A value from a file laid over this one (Layers.h): stored like a loaded line, so it is not a
    // change to save. An empty value is left out and the value below stays. origin is that file's
    // path, kept for the life of the process like the file's own.
    void layOver(std::string_view key, std::string_view value, const char* origin);
    // The file the value of a key came from, for the log: a layer's path, or this file's. A value
    // the player cannot find where the log sends him is as good as no log.
    const char* pathOf(const char* key) const;

    // Writes the same content to another file, by the same safe replacement; the dirty flag is
    // left alone. False when it could not be written.
    bool writeCopy(const char* target) const;

    // Forgets every entry and loads the file again, so memory holds exactly what is on disk and
    // nothing is left to save. For undoing changes no save kept; load alone would keep keys the
    // file lacks. When the file does not load, memory stays as it was.
    void reload();

    // The stored text, valid until that entry changes; "" when absent. Never allocates.
    const char* getString(const char* key) const;
    // -999 when absent or empty; otherwise read as parseInt does.
    std::int32_t getInt(const char* key) const;
    // false when absent or empty; otherwise true unless the integer is 0 or -999.
    bool getBool(const char* key) const;
    // -999.0 when absent or empty; otherwise read as parseFloat does.
    float getFloat(const char* key) const;
    // (0, 0, 0) when absent or empty. Otherwise the value split at ',' must give three pieces
    // (std::out_of_range("invalid vector subscript") if not), each read as parseFloat does;
    // pieces past the third are ignored.
    Vec3 getVec3(const char* key) const;

    // A non-empty value is stored (even when equal to the old one) and marks the file dirty; an
    // empty value erases the key, marking the file dirty only when the key was there.
    void setString(const char* key, std::string_view value);
    void setInt(const char* key, std::int32_t value);
    // Stored as "%f" text: 1.0 becomes "1.000000".
    void setFloat(const char* key, float value);
    // Stored as formatVec3 text, six significant digits per number.
    void setVec3(const char* key, const Vec3& value);

    // Counts the changes to what is held in memory (each line loaded, set or erased), so a reader
    // that runs every frame can keep what it parsed until the next change.
    std::uint64_t changeCount() const { return changes; }

    // Every entry in key order, for tools that look at a whole file.
    const std::map<std::string, std::string, std::less<>>& allEntries() const { return entries; }

  private:
    // Byte-wise key order; the transparent comparator lets lookups by key avoid building a string.
    std::map<std::string, std::string, std::less<>> entries;
    std::map<std::string, const char*, std::less<>> origins;  // keys a layer gave, by its path
    std::uint64_t changes = 0;

    const std::string* find(const char* key) const;
};

}  // namespace tollmere
