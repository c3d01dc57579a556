#pragma once
// A key=value file held in memory: loaded whole at start-up, written back whole on save. The
// kinds of file decide how a line is read and how the file is written.

#include <string_view>

namespace tollmere {

class BaseDataFile {
  public:
    // path is not copied: it comes from dataFilePath and lives as long as the process.
    explicit BaseDataFile(const char* filePath) : path(filePath) {}
    BaseDataFile(const BaseDataFile&) = delete;
    BaseDataFile& operator=(const BaseDataFile&) = delete;

    // Reads the file line by line over what is already in memory (nothing is cleared first).
    // True when every line was accepted; false when the file cannot be opened or at the first
    // line parseLine rejects, keeping what was read before it. Never changes the dirty flag.
    virtual bool load();

    // Writes the file when something changed since the last successful save, or always with
    // force. False only when the write failed; the dirty flag then stays set so the next save
    // tries again.
    virtual bool save(bool force);

    virtual bool isDirty() const { return dirty; }

    // One line without its line break; false when the line is not valid.
    virtual bool parseLine(std::string_view line) = 0;

    // Writes the whole file; false when it could not be written.
    virtual bool writeFile() = 0;

    const char* getPath() const { return path; }

  protected:
    // Data files live for the whole process and are never deleted through this base.
    ~BaseDataFile() = default;

    const char* path;
    bool dirty = false;
};

}  // namespace tollmere
