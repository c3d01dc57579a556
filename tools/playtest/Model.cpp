#include "Model.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>

namespace tollmere::playtest {

namespace {

// What Configs.dat answers for a key it does not hold.
constexpr float kMissing = -999.0f;

std::optional<float> number(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    if (*end != '\0') return std::nullopt;
    return value;
}

// Whole dollars toward zero, held to the 32-bit range.
std::int64_t whole(float dollars) {
    constexpr float kMost = 2147483520.0f;  // the largest float below 2^31
    if (std::isnan(dollars)) return 0;
    return static_cast<std::int64_t>(std::clamp(dollars, -kMost, kMost));
}

bool isTwoDigits(const std::string& text) {
    return text.size() == 2 && std::isdigit(static_cast<unsigned char>(text[0])) != 0 &&
           std::isdigit(static_cast<unsigned char>(text[1])) != 0;
}

}  // namespace

std::map<std::string, std::string> readPairs(const std::filesystem::path& path) {
    std::map<std::string, std::string> pairs;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
        const auto equals = line.find('=');
        if (line.empty() || line.front() == ';' || line.front() == '#' || equals == std::string::npos)
            continue;
        pairs.emplace(line.substr(0, equals), line.substr(equals + 1));
    }
    return pairs;
}

std::map<std::string, std::string> readLayered(const std::filesystem::path& folder, const std::string& base,
                                               int gameLanguage) {
    static const char* const kCodes[] = {"en-US", "fr-FR", "de-DE", "it-IT", "es-ES", "pt-BR", "pl-PL",
                                         "ru-RU", "ko-KR", "zh-TW", "ja-JP", "es-MX", "zh-CN"};
    std::string code = gameLanguage >= 0 && gameLanguage < 13 ? kCodes[gameLanguage] : "en-US";
    const std::string chosen = readPairs(folder / "Settings.ini")["Language"];
    for (const char* known : kCodes) {
        if (strcasecmp(chosen.c_str(), known) == 0) code = known;
    }
    std::vector<std::string> files = {base + ".dat"};
    if (base == "Lang" && code == "es-MX") files.push_back("Lang.es-ES.dat");
    if (base == "Lang" && code != "en-US") files.push_back("Lang." + code + ".dat");
    files.push_back(base + ".custom.dat");
    std::map<std::string, std::string> texts;
    for (const std::string& file : files) {
        for (const auto& [key, value] : readPairs(folder / file)) {
            if (!value.empty()) texts[key] = value;
        }
    }
    return texts;
}

Model::Model(const std::filesystem::path& folder, int gameLanguage) {
    for (const auto& [key, value] : readLayered(folder, "Configs", gameLanguage)) {
        if (auto parsed = number(value)) configs_[key] = *parsed;
    }
    // The shipped Settings.ini says 1.0 is the normal factor; an empty value reads as nothing paid.
    rewardFactor_ = 1.0f;
    for (const auto& [key, value] : readPairs(folder / "Settings.ini")) {
        if (key == "BoatRobberiesRewardMultiplier") rewardFactor_ = number(value).value_or(0.0f);
    }
    const std::string prefix = "boat_types.";
    for (const auto& [key, value] : readLayered(folder, "Lang", gameLanguage)) {
        if (key.starts_with(prefix)) modelByName_[value] = std::atoi(key.c_str() + prefix.size());
    }
}

std::vector<ShownRow> Model::readCatalogue(const sim::FrameDraws& draws) {
    // A row is its background box; the red frame around one marks it selected; its texts lie
    // within its box: the title first, then the dollars ("$12") and the cents ("50") of its price
    // or a dash, then the option it stands on, centred.
    struct Box {
        float top;
        float bottom;
        ShownRow row;
        std::string dollars;
    };
    std::vector<Box> boxes;
    auto boxAt = [&boxes](float y) -> Box* {
        for (Box& box : boxes) {
            if (y >= box.top && y < box.bottom) return &box;
        }
        return nullptr;
    };
    for (const sim::DrawnSprite* sprite : draws.sprites()) {
        if (sprite->texture == "selection_box_bg_1d") {
            boxes.push_back(Box{sprite->centreY - sprite->height * 0.5f,
                                sprite->centreY + sprite->height * 0.5f,
                                ShownRow{},
                                {}});
        }
    }
    for (const sim::DrawnSprite* sprite : draws.sprites()) {
        if (sprite->texture != "crafting_highlight_l") continue;
        if (Box* box = boxAt(sprite->centreY)) box->row.selected = true;
    }
    for (const sim::DrawnText* text : draws.texts()) {
        Box* box = boxAt(text->y);
        if (box == nullptr) continue;
        ShownRow& row = box->row;
        if (row.title.empty() && !text->centred) {
            row.title = text->text;
            row.dimmed = text->colour.a < 255;
        } else if (text->centred) {
            row.value = text->text;
        } else if (text->text.starts_with("$") && box->dollars.empty()) {
            box->dollars = text->text.substr(1);
        } else if (!box->dollars.empty() && isTwoDigits(text->text) && !row.priceCents) {
            row.priceCents = std::atoll(box->dollars.c_str()) * 100 + std::atoi(text->text.c_str());
        }
    }
    std::sort(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) { return a.top < b.top; });
    std::vector<ShownRow> rows;
    rows.reserve(boxes.size());
    for (Box& box : boxes)
        rows.push_back(std::move(box.row));
    return rows;
}

std::optional<std::int64_t> Model::amountIn(std::string_view text) {
    const auto dollar = text.rfind('$');
    if (dollar == std::string_view::npos) return std::nullopt;
    const std::string digits(text.substr(dollar + 1));
    const auto parsed = number(digits);
    if (!parsed) return std::nullopt;
    return std::llround(static_cast<double>(*parsed) * 100.0);
}

std::int32_t Model::modelNamed(const std::string& title) const {
    const auto it = modelByName_.find(title);
    return it == modelByName_.end() ? 0 : it->second;
}

float Model::configFloat(const std::string& key) const {
    const auto it = configs_.find(key);
    return it == configs_.end() ? kMissing : it->second;
}

std::int64_t Model::saleValueCents(const sim::Entity& boat) const {
    // Single precision throughout, each step truncated to whole dollars, as docs/random-player.md
    // gives it.
    const auto stored = boat.decorators.find("QY_RB_boatValue");
    std::int64_t base = stored != boat.decorators.end() ? stored->second : 0;
    if (base <= 0) {
        const std::string priceKey = "fees.boat." + std::to_string(static_cast<std::int32_t>(boat.model));
        std::int64_t price = whole(configFloat(priceKey));
        if (boat.lanternPropSet != 0)
            price = whole(static_cast<float>(price) + configFloat("fees.lantern_propset"));
        const float fittings = boat.propSet != 0 ? configFloat("fees.propset") : 0.0f;
        const std::int64_t withFittings = whole(static_cast<float>(price) + fittings);
        base = whole(configFloat("fees.sell_price_multiplier") * static_cast<float>(withFittings));
    }
    const float byHealth = static_cast<float>(whole(static_cast<float>(base) * boat.healthFraction()));
    const float dollars = rewardFactor_ * byHealth;
    // To the nearest $5, a remainder of $3 or more rounding up.
    const std::int64_t value = 5 * whole((2.0f + dollars) / 5.0f);
    return std::max<std::int64_t>(value, 0) * 100;
}

const sim::Entity* Model::ownBoat(const sim::World& world, std::uint32_t claimed) {
    for (const sim::Entity* vehicle : world.vehicles()) {
        if (vehicle->handle != claimed || vehicle->released) continue;
        const auto sold = vehicle->decorators.find("QY_RB_isBoatSold");
        if (sold == vehicle->decorators.end() || sold->second == 0) return vehicle;
    }
    for (const sim::Entity* vehicle : world.vehicles()) {
        if (vehicle->decorators.contains("QY_RB_isPlayerBoat") && !vehicle->released) return vehicle;
    }
    return nullptr;
}

}  // namespace tollmere::playtest
