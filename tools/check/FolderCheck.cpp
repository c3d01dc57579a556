#include "FolderCheck.h"

#include "boat/BoatRecordFile.h"
#include "data/DataFiles.h"
#include "data/DataKeys.h"
#include "data/DictDataFile.h"
#include "data/Layers.h"
#include "data/Settings.h"
#include "data/TextFormat.h"
#include "docks/DocksRegistry.h"
#include "host/BoatTypes.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <deque>
#include <limits>
#include <map>
#include <optional>
#include <stdexcept>

namespace tollmere::check {

namespace {

using keys::File;
using keys::KeyRead;
using keys::Kind;

enum class Layering { shipped, translation, custom };

struct FileRole {
    const char* name;
    File file;
    // What the plug-in does when it cannot read the file to its end.
    bool stopsThePlugin;
    Layering layering = Layering::shipped;
};

// The game's feed shows this many bytes of a help text.
constexpr std::size_t kHelpTextBytes = 499;

// The order the plug-in reads them in at start-up.
constexpr FileRole kFiles[] = {
    {"Settings.ini", File::settings, false},
    {"Lang.dat", File::lang, true},
    {"Configs.dat", File::configs, true},
    {"PlayerBoat.dat", File::playerBoat, true},
    {"TutorialFlags.dat", File::tutorialFlags, false},
};

const char* fileName(File file) {
    for (const FileRole& role : kFiles) {
        if (role.file == file) return role.name;
    }
    return "";
}

std::string inQuotes(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    out += text;
    out += '"';
    return out;
}

std::size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// Where the first byte that cannot be UTF-8 sits in the line, if any.
std::optional<std::size_t> invalidUtf8At(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size()) {
        const auto byte = static_cast<unsigned char>(line[i]);
        std::size_t length = byte < 0x80           ? 1
                             : (byte >> 5) == 0x6  ? 2
                             : (byte >> 4) == 0xE  ? 3
                             : (byte >> 3) == 0x1E ? 4
                                                   : 0;
        if (length == 0 || byte == 0xC0 || byte == 0xC1 || i + length > line.size()) return i;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(line[i + k]) & 0xC0) != 0x80) return i;
        }
        i += length;
    }
    return std::nullopt;
}

// What follows the number the plug-in reads from the text, so that "12abc" can be pointed out:
// the plug-in reads 12 and ignores the rest without a word.
std::string_view afterNumber(const std::string& text, bool integer) {
    char* end = nullptr;
    if (integer) {
        (void)std::strtol(text.c_str(), &end, 10);
    } else {
        (void)std::strtof(text.c_str(), &end);
    }
    return std::string_view(text).substr(static_cast<std::size_t>(end - text.c_str()));
}

// As the plug-in writes a number into a file: "0.1", "1", "2.5".
std::string formatNumber(float value) {
    const std::string text = formatVec3(Vec3{value, 0.0f, 0.0f});
    return text.substr(0, text.find(','));
}

struct Entry {
    int line = 0;
    std::string value;
};

class FileCheck {
  public:
    FileCheck(const FileRole& role, std::vector<Finding>& findings) : role_(role), findings_(findings) {}

    void run(const std::filesystem::path& folder) {
        std::string content;
        if (!readWholeFile((folder / role_.name).string().c_str(), content)) {
            reportMissingFile();
            return;
        }
        if (role_.layering == Layering::translation) {
            english_ = readLayer((folder / "Lang.dat").string(), "Lang.dat").entries;
            const std::string name = role_.name;
            fallbackLanguage_ = name == "Lang.es-MX.dat" && std::filesystem::exists(folder / "Lang.es-ES.dat")
                                    ? "the es-ES text (or English)"
                                    : "the English text";
        }
        std::string_view text = content;
        checkEncoding(text);
        readLines(text);
        checkKeys();
        if (role_.file == File::playerBoat && !ownsBoat_) checkKeptCopy(folder);
    }

  private:
    void add(Severity severity, int line, std::string text) {
        findings_.push_back(Finding{severity, role_.name, line, std::move(text)});
    }
    void warn(int line, std::string text) { add(Severity::warning, line, std::move(text)); }
    void error(int line, std::string text) { add(Severity::error, line, std::move(text)); }

    void reportMissingFile() {
        switch (role_.file) {
            case File::settings:
                warn(0,
                     "not found: the plug-in uses its defaults (robberies on, chance 0.5, sale factor 1.0)");
                break;
            case File::tutorialFlags:
                warn(0,
                     "not found: every tutorial counts as not shown yet; the plug-in writes the file anew "
                     "after the first one");
                break;
            default:
                error(0, "not found: the plug-in cannot load it and stays off");
        }
    }

    void checkEncoding(std::string_view& text) {
        if (text.starts_with("\xEF\xBB\xBF")) {
            warn(1,
                 "starts with a byte-order mark (bytes EF BB BF); the plug-in skips it, but the file is best "
                 "saved as UTF-8 without one");
            text.remove_prefix(3);
        }
        int crlf = 0;
        int lf = 0;
        for (std::size_t i = text.find('\n'); i != std::string_view::npos; i = text.find('\n', i + 1)) {
            (i > 0 && text[i - 1] == '\r' ? crlf : lf) += 1;
        }
        if (crlf > 0 && lf > 0) {
            warn(0, "mixes line endings: " + std::to_string(crlf) + " lines end in CR LF (Windows) and " +
                        std::to_string(lf) +
                        " in LF alone; the plug-in reads both, but save the file with one kind");
        }
    }

    void readLines(std::string_view text) {
        LineReader reader(text);
        std::string_view line;
        int number = 0;
        while (reader.next(line)) {
            ++number;
            if (const auto at = invalidUtf8At(line); at && role_.layering != Layering::shipped) {
                error(number, "the line is not UTF-8 text (a byte " + hexByte(line[*at]) + " at column " +
                                  std::to_string(*at + 1) + "): " + kLayerSkipped +
                                  ". Save the file as UTF-8");
                stopped_ = true;
                return;
            } else if (at) {
                warn(number, "the line is not UTF-8 text (a byte " + hexByte(line[*at]) + " at column " +
                                 std::to_string(*at + 1) +
                                 "); the game shows such text garbled. Save the file as "
                                 "UTF-8");
            }
            if (line.find('\r') != std::string_view::npos) {
                warn(number,
                     "the line holds a carriage return inside the line, which the plug-in reads as part of "
                     "it");
            }
            if (line.empty()) continue;
            if (role_.file == File::settings && isSettingsCommentLine(line)) continue;

            std::string_view key;
            std::string_view value;
            // A layer may leave a key empty ("key="): the text under it shows.
            const bool leftEmpty = role_.layering != Layering::shipped && line.find('=') == line.size() - 1;
            if (leftEmpty) key = line.substr(0, line.size() - 1);
            if (!leftEmpty && !splitEntry(line, key, value)) {
                if (!reportBadLine(number, line)) {
                    stopped_ = true;
                    return;
                }
                continue;
            }
            const auto [it, added] =
                entries_.try_emplace(std::string(key), Entry{number, std::string(value)});
            if (!added) {
                warn(number, inQuotes(key) + " was already set at line " + std::to_string(it->second.line) +
                                 "; the plug-in uses this later line");
                it->second = Entry{number, std::string(value)};
            }
            if (!leftEmpty) data_.parseLine(line);
        }
    }

    // False when the plug-in stops reading the file at this line.
    bool reportBadLine(int number, std::string_view line) {
        const std::string what = inQuotes(line) + " is not key=value (one \"=\" between a key and a value)";
        if (role_.layering != Layering::shipped) {
            error(number, what + ": " + kLayerSkipped);
            return false;
        }
        switch (role_.file) {
            case File::settings:
                warn(number, what + ": the plug-in logs it and skips the line");
                return true;
            case File::tutorialFlags:
                warn(number, what +
                                 ": the plug-in stops reading the file here, so the tutorials after it count "
                                 "as not shown");
                return false;
            default:
                error(number,
                      what + ": the plug-in stops loading here and stays off until the line is mended");
                return false;
        }
    }

    static std::string hexByte(char c) {
        const char* digits = "0123456789ABCDEF";
        const auto byte = static_cast<unsigned char>(c);
        return std::string("0x") + digits[byte >> 4] + digits[byte & 0xF];
    }

    const Entry* entry(const std::string& key) const {
        const auto it = entries_.find(key);
        return it == entries_.end() ? nullptr : &it->second;
    }

    void checkKeys() {
        // The rest of the record means nothing while no known boat is owned.
        const BoatType* owned = nullptr;
        for (const KeyRead& read : keys::keysRead()) {
            if (read.file != role_.file) continue;
            if (role_.file == File::playerBoat && read.key != keys::ownedBoatModel && owned == nullptr) {
                continue;
            }
            const Entry* found = entry(read.key);
            if (role_.layering != Layering::shipped) {
                if (!stopped_) checkLayered(read, found);
                continue;
            }
            if (found == nullptr || found->value.empty()) {
                if (!(stopped_ && role_.stopsThePlugin)) {
                    reportMissing(read, found == nullptr ? 0 : found->line);
                }
            } else {
                checkValue(read, *found);
            }
            if (read.key == keys::ownedBoatModel && found != nullptr) owned = ownedType(*found);
        }
        if (role_.file == File::configs) checkRewardRange();
        if (role_.file == File::playerBoat && owned != nullptr) checkRecord(*owned);
        ownsBoat_ = owned != nullptr;
        reportUnread();
    }

    // A key of a translation or of the player's own file: missing or empty is a fall back, not a
    // fault, save in a translation, where it leaves English among his language.
    void checkLayered(const KeyRead& read, const Entry* found) {
        const std::string key = inQuotes(read.key) + " (" + read.use + ")";
        const bool translation = role_.layering == Layering::translation;
        if (found == nullptr) {
            if (translation) warn(0, key + " is missing: the plug-in shows " + fallbackLanguage_ + " there");
            return;
        }
        if (found->value.empty()) {
            warn(found->line, key + " is empty: the plug-in shows " +
                                  (translation ? fallbackLanguage_ : std::string("the shipped text")) +
                                  " there");
            return;
        }
        checkValue(read, *found);
        if (read.kind != Kind::text) return;
        if (read.key.starts_with(keys::tutorialPrefix) && found->value.size() > kHelpTextBytes) {
            warn(found->line, key + " is " + std::to_string(found->value.size()) +
                                  " bytes long: the game's feed shows the first " +
                                  std::to_string(kHelpTextBytes) + " and the rest is lost");
        }
        const auto english = english_.find(read.key);
        if (!translation || english == english_.end()) return;
        for (const std::string& carried : carriedMarks(english->second.value)) {
            if (found->value.find(carried) == std::string::npos) {
                warn(found->line, key + " lacks " + inQuotes(carried) + ", which the English " +
                                      inQuotes(english->second.value) + " carries");
            }
        }
    }

    // What a translation must carry over from the English: a "$" (an amount follows it on screen)
    // and every number.
    static std::vector<std::string> carriedMarks(std::string_view text) {
        std::vector<std::string> marks;
        if (text.find('$') != std::string_view::npos) marks.emplace_back("$");
        for (std::size_t i = 0; i < text.size();) {
            if (std::isdigit(static_cast<unsigned char>(text[i])) == 0) {
                ++i;
                continue;
            }
            const std::size_t start = i;
            while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0)
                ++i;
            marks.emplace_back(text.substr(start, i - start));
        }
        return marks;
    }

    void reportMissing(const KeyRead& read, int line) {
        const std::string key = inQuotes(read.key) + " (" + read.use + ")";
        const std::string is = line == 0 ? " is missing: " : " is empty: ";
        switch (read.kind) {
            case Kind::text:
                warn(line, key + is + "the plug-in shows nothing there");
                break;
            case Kind::price:
                error(line, key + is +
                                "the plug-in reads -999 and does not offer it: the shop row is dimmed and "
                                "cannot be bought");
                break;
            case Kind::priceText:
                error(line, key + is + "the plug-in reads -999 and does not offer to bring your boat back");
                break;
            case Kind::shownPrice:
                warn(line, key + is + "the rent prompt shows \"$\" with nothing after it");
                break;
            case Kind::factor:
                // A boat left without a heading only faces north.
                if (read.file != File::playerBoat) {
                    error(line, key + is + "the plug-in reads -999 and uses it as it stands");
                }
                break;
            case Kind::reward:
                error(line, key + is + "the plug-in reads -999, so no river robbery is ever generated");
                break;
            case Kind::modelHash:
                warn(line, key + is +
                               "the plug-in reads -999, which is no boat, and counts the record as no "
                               "boat; write owned_boat_model=0 for a player without a boat");
                break;
            case Kind::index:
                if (read.key == keys::tint) {
                    warn(line, key + is + "the boat keeps its paint as the game gives it");
                }
                if (read.key == keys::propsetIndex || read.key == keys::lanternPropsetIndex) {
                    warn(line, key + is + "the boat is shown without them");
                }
                if (read.key == keys::dockId) {
                    warn(line, key + is + "the boat counts as not moored at any dock");
                }
                break;
            default:
                // Health, its maximum, position and heading: the plug-in has a sound reading for each
                // (full health, the usual maximum); a position is checked with the dock below.
                break;
        }
    }

    void checkValue(const KeyRead& read, const Entry& found) {
        const std::string key = inQuotes(read.key) + " = " + inQuotes(found.value);
        const int line = found.line;
        const bool integer = read.kind == Kind::reward || read.kind == Kind::modelHash ||
                             read.kind == Kind::index || read.kind == Kind::flag;
        std::optional<float> number;
        try {
            switch (read.kind) {
                case Kind::text:
                    return;
                case Kind::point:
                    (void)data_.getVec3(read.key.c_str());
                    return;
                case Kind::settingSwitch:
                    if (!parseSwitch(found.value)) {
                        error(line,
                              key +
                                  " is not a switch (1/0, true/false, yes/no or on/off): the plug-in logs "
                                  "it and uses " +
                                  read.value + " (" + (read.value[0] == '1' ? "on" : "off") + ")");
                    }
                    return;
                case Kind::settingLanguage:
                    if (!readSettingValue(read.key, found.value)) {
                        error(line,
                              key +
                                  " is neither auto nor a language code the game reports (en-US, fr-FR, "
                                  "...): the plug-in logs it and uses " +
                                  read.value);
                    }
                    return;
                case Kind::settingFloat:
                    number = readSettingValue(read.key, found.value);
                    if (!number) throw std::invalid_argument("not a finite number");
                    break;
                case Kind::flag:
                    (void)data_.getBool(read.key.c_str());
                    break;
                default:
                    number = integer ? static_cast<float>(data_.getInt(read.key.c_str()))
                                     : data_.getFloat(read.key.c_str());
            }
        } catch (const std::exception& failure) {
            if (read.kind == Kind::point) {
                error(line, key + " is not three numbers x,y,z: reading the boat's position fails (\"" +
                                std::string(failure.what()) + "\")");
            } else if (read.kind == Kind::shownPrice) {
                warn(line, key + " is not a number; the rent prompt shows it as it stands");
            } else if (read.file == File::settings) {
                error(line, key + " is not a number: the plug-in logs it and uses " + read.value);
            } else {
                error(line, key + " is not a number where the plug-in reads one: reading it fails (\"" +
                                std::string(failure.what()) + "\") and the plug-in reports that error");
            }
            return;
        }
        if (const std::string_view rest = afterNumber(found.value, integer); !rest.empty()) {
            warn(line, key + ": the plug-in reads the number at its start and ignores " + inQuotes(rest));
        }
        if (!number) return;
        switch (read.kind) {
            case Kind::price:
            case Kind::priceText:
                if (*number < 0.0f) {
                    error(line, key + " is a price below 0: the plug-in does not offer it" +
                                    (read.kind == Kind::price ? std::string(" (the shop row is dimmed)")
                                                              : std::string(" (no retrieval prompt)")));
                }
                break;
            case Kind::reward:
                if (*number < 0.0f) error(line, key + " is below 0: no river robbery is generated");
                break;
            case Kind::factor:
                if (*number < 0.0f && read.key != keys::heading) {
                    warn(line, key + " is below 0, so the " + read.use + " comes out below 0");
                }
                break;
            case Kind::settingFloat:
                if (*number < read.minimum || *number > read.maximum) {
                    const float held = std::clamp(*number, read.minimum, read.maximum);
                    warn(line, key + " is outside " + formatNumber(read.minimum) +
                                   (read.maximum == std::numeric_limits<float>::max()
                                        ? std::string(" and up")
                                        : " to " + formatNumber(read.maximum)) +
                                   ": the plug-in holds it to " + formatNumber(held));
                }
                break;
            default:
                break;
        }
    }

    void checkRewardRange() {
        const Entry* low = entry(keys::robberiesMinReward);
        const Entry* high = entry(keys::robberiesMaxReward);
        if (low == nullptr || high == nullptr) return;
        try {
            const std::int32_t minimum = data_.getInt(keys::robberiesMinReward);
            const std::int32_t maximum = data_.getInt(keys::robberiesMaxReward);
            if (minimum > maximum) {
                error(low->line, "the smallest robbery reward " + formatInt(minimum) +
                                     " is above the largest " + formatInt(maximum) + " (line " +
                                     std::to_string(high->line) + "): no river robbery is generated");
            }
        } catch (const std::exception&) {
            // Already reported as not a number.
        }
    }

    const BoatType* ownedType(const Entry& found) {
        std::int32_t model = 0;
        try {
            model = data_.getInt(keys::ownedBoatModel);
        } catch (const std::exception&) {
            return nullptr;
        }
        if (model == 0) return nullptr;
        const BoatType* type = findBoatType(model);
        if (type == nullptr) {
            std::string known;
            for (const BoatType* each : allBoatTypes()) {
                known += (known.empty() ? "" : ", ") + formatInt(each->model);
            }
            error(found.line, inQuotes(keys::ownedBoatModel) + " = " + inQuotes(found.value) +
                                  " is not one of the five boats (" + known +
                                  "): the plug-in counts the record as no boat, and your boat is gone");
        }
        return type;
    }

    // Reads a record value that checkValue has already vetted; nothing when it could not be read.
    template <typename Read>
    auto readOr(Read read) -> std::optional<decltype(read())> {
        try {
            return read();
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }

    void checkRecord(const BoatType& type) {
        auto lineOf = [this](const char* key) { return entry(key) == nullptr ? 0 : entry(key)->line; };
        const std::string model = " of boat model " + formatInt(type.model);
        if (const auto tint = readOr([&] { return data_.getInt(keys::tint); });
            tint && *tint >= type.tintCount) {
            error(lineOf(keys::tint), "paint " + formatInt(*tint) + " is not one of the " +
                                          formatInt(type.tintCount) + " paints" + model + " (0 to " +
                                          formatInt(type.tintCount - 1) + ")");
        }
        auto checkIndex = [&](const char* key, std::size_t count, const char* what) {
            const auto index = readOr([&] { return data_.getInt(key); });
            if (!index || entry(key) == nullptr || *index == -1) return;
            if (*index < -1 || static_cast<std::size_t>(*index) >= count) {
                error(lineOf(key), std::string(what) + " " + formatInt(*index) + " is outside the " +
                                       std::to_string(count) + " " + what + "s" + model + " (-1 for none" +
                                       (count > 0 ? ", 0 to " + std::to_string(count - 1) : std::string()) +
                                       "): the boat is shown without them");
            }
        };
        checkIndex(keys::propsetIndex, type.propSets.size(), "fittings set");
        checkIndex(keys::lanternPropsetIndex, type.lanternPropSets.size(), "lantern set");

        const auto maxHealth = readOr([&] { return data_.getInt(keys::maxHealth); });
        if (maxHealth && entry(keys::maxHealth) != nullptr && *maxHealth <= 0) {
            warn(lineOf(keys::maxHealth),
                 "full durability " + formatInt(*maxHealth) + " is not above 0: the plug-in uses 1000");
        }
        const auto health = readOr([&] { return data_.getFloat(keys::health); });
        if (health && entry(keys::health) != nullptr) {
            if (*health > 1.0f) {
                error(lineOf(keys::health),
                      "health " + entry(keys::health)->value +
                          " is above its maximum 1 (it is a share of the full durability)");
            } else if (*health < 0.0f) {
                warn(lineOf(keys::health), "health " + entry(keys::health)->value +
                                               " is below 0: the plug-in takes it as full health");
            }
        }

        const auto dock = readOr([&] { return data_.getInt(keys::dockId); });
        const bool moored = dock && *dock > 0 && dockNameById(*dock) != nullptr;
        if (dock && *dock > 0 && !moored) {
            error(lineOf(keys::dockId),
                  "dock " + formatInt(*dock) +
                      " names no dock (docks are 1 to 9 and 11 to 16): the plug-in looks "
                      "for the boat at its saved position instead");
        }
        const auto position = readOr([&] { return data_.getVec3(keys::coords); });
        if (dock && !moored && position && *position == Vec3{}) {
            warn(lineOf(keys::coords),
                 "your boat is moored at no dock and has no saved position: the plug-in "
                 "does not place it in the world");
        }
    }

    // The plug-in keeps a copy of the record each time he comes to own another boat or none, so a
    // copy naming a boat beside a record naming none means the record was written over by hand.
    void checkKeptCopy(const std::filesystem::path& folder) {
        const std::int32_t model = boatModelInRecordFile((folder / kPlayerBoatBackupName).string().c_str());
        if (model == 0) return;
        warn(0,
             std::string("holds no boat, while ") + kPlayerBoatBackupName +
                 ", the copy the plug-in kept, holds boat model " + formatInt(model) +
                 ": the record looks overwritten, as by copying a full release's Tollmere folder over yours. "
                 "Unless you sold or lost that boat, put the copy back: quit the game first (the plug-in "
                 "must not be running, or it saves its own record over it), then copy " +
                 kPlayerBoatBackupName +
                 " over PlayerBoat.dat in the Tollmere folder, and start the game again");
    }

    void reportUnread() {
        std::map<std::string, File> readHere;
        std::map<std::string, File> readAnywhere;
        for (const KeyRead& read : keys::keysRead()) {
            readAnywhere.emplace(read.key, read.file);
            if (read.file == role_.file) readHere.emplace(read.key, read.file);
        }
        for (const auto& [key, found] : entries_) {
            if (readHere.contains(key)) continue;
            std::string text = "nothing reads " + inQuotes(key);
            if (const auto elsewhere = readAnywhere.find(key); elsewhere != readAnywhere.end()) {
                text += ": the plug-in reads it from " + std::string(fileName(elsewhere->second)) +
                        ", not from here";
            } else if (const std::string* near = nearest(key, readHere)) {
                text += ": did you mean " + inQuotes(*near) + "?";
                if (*near == trimmed(key)) text += " Blanks around a key count as part of it";
            }
            warn(found.line, text);
        }
    }

    static std::string trimmed(std::string_view text) {
        const auto first = text.find_first_not_of(" \t");
        if (first == std::string_view::npos) return {};
        return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
    }

    static const std::string* nearest(const std::string& key, const std::map<std::string, File>& known) {
        const std::string bare = trimmed(key);
        const std::string* best = nullptr;
        std::size_t bestDistance = std::max<std::size_t>(2, bare.size() / 5) + 1;
        for (const auto& [candidate, file] : known) {
            const std::size_t distance = editDistance(bare, candidate);
            if (distance < bestDistance) {
                best = &candidate;
                bestDistance = distance;
            }
        }
        return best;
    }

    static constexpr const char* kLayerSkipped =
        "the plug-in reads nothing of this file, says so on screen once and uses the files under it";

    const FileRole role_;
    // A translation's English, to compare with; what a text it lacks falls back to.
    std::map<std::string, LayerEntry, std::less<>> english_;
    std::string fallbackLanguage_;
    // Reading stopped at a bad line. When that keeps the plug-in off, the keys after it that
    // go missing are beside the point.
    bool stopped_ = false;
    // PlayerBoat.dat names a boat the plug-in knows.
    bool ownsBoat_ = false;
    std::vector<Finding>& findings_;
    std::map<std::string, Entry> entries_;
    // The same data file the plug-in fills, read through the same getters. The path is only a name
    // here: nothing loads or saves it.
    DictDataFile data_{"(checked)"};
};

}  // namespace

namespace {

// The fixed files, then the layers present: each translation of a language the game reports, the
// player's own two files, and any other Lang.*.dat, which nothing reads.
std::vector<FileRole> rolesFor(const std::filesystem::path& folder) {
    static std::deque<std::string> names;  // FileRole names point here
    std::vector<FileRole> roles(std::begin(kFiles), std::end(kFiles));
    auto present = [&folder](const std::string& name) {
        return std::filesystem::is_regular_file(folder / name);
    };
    for (const char* code : kLanguageCodes) {
        const std::string name = std::string("Lang.") + code + ".dat";
        if (code != std::string_view(kEnglish) && present(name)) {
            roles.push_back(
                FileRole{names.emplace_back(name).c_str(), File::lang, false, Layering::translation});
        }
    }
    if (present("Lang.custom.dat"))
        roles.push_back(FileRole{"Lang.custom.dat", File::lang, false, Layering::custom});
    if (present("Configs.custom.dat")) {
        roles.push_back(FileRole{"Configs.custom.dat", File::configs, false, Layering::custom});
    }
    return roles;
}

// Lang files of no language the game reports: the player meant one, and reads English.
void reportStrayTranslations(const std::filesystem::path& folder, std::vector<Finding>& findings) {
    std::error_code ignored;
    for (const auto& file : std::filesystem::directory_iterator(folder, ignored)) {
        const std::string name = file.path().filename().string();
        if (!name.starts_with("Lang.") || !name.ends_with(".dat") || name == "Lang.dat" ||
            name == "Lang.custom.dat") {
            continue;
        }
        const std::string code = name.substr(5, name.size() - 9);
        const char* canonical = knownLanguage(code);
        if (canonical != nullptr && code == canonical) continue;
        std::string meant;
        for (const char* known : kLanguageCodes) {
            const bool near = editDistance(code, known) < 3 || std::string_view(known).starts_with(code);
            if (meant.empty() && (near || canonical == known)) meant = known;
        }
        findings.push_back(
            Finding{Severity::warning, name, 0,
                    "nothing reads this file: " + inQuotes(code) + " is not a language the game reports" +
                        (meant.empty() ? std::string() : "; did you mean Lang." + meant + ".dat?")});
    }
}

}  // namespace

std::vector<std::string> checkedFiles(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const FileRole& role : rolesFor(folder)) {
        names.emplace_back(role.name);
    }
    std::vector<Finding> stray;
    reportStrayTranslations(folder, stray);
    for (const Finding& finding : stray)
        names.push_back(finding.file);
    return names;
}

std::vector<Finding> checkFolder(const std::filesystem::path& folder) {
    std::vector<Finding> findings;
    for (const FileRole& role : rolesFor(folder)) {
        const std::size_t first = findings.size();
        FileCheck(role, findings).run(folder);
        // By line; what concerns the whole file or a key it lacks comes last.
        std::stable_sort(findings.begin() + static_cast<std::ptrdiff_t>(first), findings.end(),
                         [](const Finding& a, const Finding& b) {
                             return (a.line == 0 ? std::numeric_limits<int>::max() : a.line) <
                                    (b.line == 0 ? std::numeric_limits<int>::max() : b.line);
                         });
    }
    reportStrayTranslations(folder, findings);
    return findings;
}

std::string whereKeyComesFrom(const std::filesystem::path& folder, const std::string& key,
                              const char* language) {
    const keys::KeyRead* read = nullptr;
    for (const KeyRead& each : keys::keysRead()) {
        if (each.key == key && (each.file == File::lang || each.file == File::configs)) read = &each;
    }
    if (read == nullptr) return inQuotes(key) + ": no text or price the plug-in reads from the layered files";
    const char* shipped = fileName(read->file);
    std::vector<Layer> layers{readLayer((folder / shipped).string(), shipped)};
    for (const std::string& name : layerNames(shipped, language)) {
        layers.push_back(readLayer((folder / name).string(), name));
    }
    // Highest first: the first value found is the one shown, the others are what it hides.
    std::string answer = inQuotes(key) + " in " + language + ":";
    bool found = false;
    for (auto layer = layers.rbegin(); layer != layers.rend(); ++layer) {
        if (layer->state == Layer::State::skipped) {
            answer += " (" + layer->name + " is not read: line " + std::to_string(layer->badLine) + ")";
            continue;
        }
        const auto entry = layer->entries.find(key);
        if (entry == layer->entries.end() || entry->second.value.empty()) continue;
        answer += std::string(found ? ", over " : " ") + inQuotes(entry->second.value) + " from " +
                  layer->name + " line " + std::to_string(entry->second.line);
        found = true;
    }
    return found ? answer : answer + " in none of the files: the plug-in reads nothing for it";
}

}  // namespace tollmere::check
