#include "ScreenRules.h"

#include "Model.h"

#include "Hash.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <utility>

namespace tollmere::playtest {

namespace {

// The panel as the documentation lays it out: eleven base values, the rest derived from them in
// single precision.
// The catalogue's controls, as bits of what was pressed in a frame: down, up, right and left (the
// option of a cycling row), and the select that buys.
constexpr int kDownKey = 1;
constexpr int kUpKey = 2;
constexpr int kRightKey = 4;
constexpr int kLeftKey = 8;
constexpr int kSelectKey = 16;
constexpr std::pair<std::uint32_t, int> kMenuKeys[] = {{0x05CA7C52, kDownKey},
                                                       {0x6319DB71, kUpKey},
                                                       {0xDEB34313, kRightKey},
                                                       {0xA65EBAB4, kLeftKey},
                                                       {0xC7B5340A, kSelectKey}};
constexpr float kPanelWidth = 0.22f;
constexpr float kPanelHeight = 0.9f;
constexpr float kPanelLeft = 0.025f;
constexpr float kMargin = 0.012f;
constexpr float kHeaderHeight = 0.08f;
constexpr float kSubtitleBand = 0.03f;
constexpr float kRowHeight = 0.05f;
constexpr float kStatRowHeight = 0.03f;
constexpr float kStatsGap = 0.002f;
constexpr float kDescriptionBand = 0.03f;
constexpr float kPanelTop = (1.0f - kPanelHeight) * 0.5f;
constexpr float kInset = 2.0f * kMargin;
constexpr float kContentLeft = kPanelLeft + kInset;
constexpr float kContentWidth = kPanelWidth - 2.0f * kInset;
constexpr float kHeaderTop = kInset + kPanelTop;
constexpr float kSubtitleY = kHeaderHeight + kHeaderTop + kMargin;
constexpr float kFirstDividerY = kSubtitleBand + kSubtitleY + kMargin;
constexpr float kRowsTop = kFirstDividerY + 0.001f;
constexpr float kStatsHeight = 3.0f * kStatRowHeight;
constexpr float kStatsTop = kPanelHeight - kStatsHeight - kStatsGap - 2.0f * kMargin;
constexpr float kDescriptionY = kStatsTop - kDescriptionBand - kMargin;
constexpr float kStatsLeft = kMargin * 0.5f + kContentLeft;
constexpr float kStatsWidth = kContentWidth - kMargin;
constexpr float kLastDividerY = kStatsHeight + kStatsTop + kMargin * 0.5f + kStatsGap;
constexpr float kDividerHeight = 0.0015f;

// A row: no horizontal margin, 0.005 inside and above, text at 0.34.
constexpr float kInner = 0.005f;
constexpr float kAbove = 0.005f;
constexpr float kFontScale = 0.34f;
constexpr float kIconWidth = 0.012f;
constexpr float kIconHeight = 0.02f;

constexpr sim::Rgba kLight{229, 229, 229, 255};
constexpr sim::Rgba kPanelColour{4, 4, 4, 210};
constexpr sim::Rgba kBoxColour{36, 38, 36, 230};
constexpr sim::Rgba kFrameColour{220, 0, 0, 255};
constexpr int kTextShade = 210;
constexpr int kDimmed = 100;
constexpr int kFull = 255;

// Screen fractions reach the game as 32-bit floats summed in some order: this far apart is one place.
constexpr float kPlace = 2e-4f;
constexpr float kMissing = -999.0f;

// The shop's way in and out: fades of 250 ms out and 500 ms in; 300 + 500 ms of waiting between the
// fade out and the fade in going in, 500 + 500 ms coming out; the camera 4.5 beyond the pier, 2 up,
// looking at the boat; its blends over 3000 ms, eased only going back to the game's own view.
constexpr std::int32_t kFadeOutMs = 250;
constexpr std::int32_t kFadeInMs = 500;
constexpr std::int32_t kWaitsGoingInMs = 800;
constexpr std::int32_t kWaitsComingOutMs = 1000;
constexpr std::int32_t kCameraBlendMs = 3000;
constexpr float kCameraBeyondPier = 4.5f;
constexpr float kCameraUp = 2.0f;
constexpr float kCameraFieldOfView = 30.0f;
constexpr std::uint32_t kDockBlipStyle = 0xB04092F8u;
// A wait ends on the first frame after its time: two waits overrun by at most two long frames.
constexpr std::int32_t kWaitOverrunMs = 100;
// Frames with his cash unchanged that cover the way into the shop.
constexpr int kCashSteadyOpening = 90;

// What the game's feed shows: a money toast for a second with the dollar icon, green for a credit
// and red for a charge; a tutorial's help text for eight seconds, at most 499 characters.
constexpr std::int32_t kToastMs = 1000;
constexpr std::uint32_t kToastTexture = 0x6D31416Eu;
constexpr std::uint32_t kCreditColour = 0x067FA8F3u;
constexpr std::int32_t kHelpTextMs = 8000;
constexpr std::size_t kHelpTextLongest = 499;

// The boat types in the order the catalogue lists them, with the speed each is rated.
constexpr std::array<std::pair<std::int32_t, int>, 5> kBoatTypes{{
    {static_cast<std::int32_t>(0x9FD6BA58u), 4},
    {static_cast<std::int32_t>(0xD84D4530u), 5},
    {static_cast<std::int32_t>(0xE84E6B74u), 4},
    {static_cast<std::int32_t>(0xF097BC6Cu), 4},
    {static_cast<std::int32_t>(0x578D6513u), 5},
}};
// The fittings and lanterns each boat type offers, in the order the rows count them.
struct Fittings {
    std::int32_t model;
    int tints;
    std::vector<const char*> propSets;
    std::vector<const char*> lanterns;
};
const std::array<Fittings, 5> kFittings{{
    {static_cast<std::int32_t>(0x9FD6BA58u),
     7,
     {"pg_veh_rowboat_01", "pg_veh_rowboat_02"},
     {"pg_veh_rowboat_lightupgrade_1", "pg_veh_rowboat_lightupgrade_2", "pg_veh_rowboat_lightupgrade_3"}},
    {static_cast<std::int32_t>(0xE84E6B74u), 6, {"pg_veh_rowboatswamp_01", "pg_veh_rowboatswamp_02"}, {}},
    {static_cast<std::int32_t>(0xF097BC6Cu), 6, {"pg_veh_rowboatswamp_01", "pg_veh_rowboatswamp_02"}, {}},
    {static_cast<std::int32_t>(0x578D6513u), 5, {}, {}},
    {static_cast<std::int32_t>(0xD84D4530u), 1, {}, {}},
}};

// The customise rows, top to bottom, by the end of their Lang.dat key.
constexpr std::array<const char*, 5> kOptionRows{"fix_boat", "clean_boat", "tint", "propset",
                                                 "lantern_propset"};

bool near(float a, float b) {
    return std::fabs(a - b) <= kPlace;
}

std::string show(const sim::Rgba& c) {
    char text[48];
    std::snprintf(text, sizeof text, "(%d, %d, %d, %d)", c.r, c.g, c.b, c.a);
    return text;
}

std::string show(const sim::DrawnSprite& s) {
    char text[200];
    std::snprintf(text, sizeof text, "%s/%s at (%.4f, %.4f) size (%.4f, %.4f) ", s.dictionary.c_str(),
                  s.texture.c_str(), static_cast<double>(s.centreX - s.width * 0.5f),
                  static_cast<double>(s.centreY - s.height * 0.5f), static_cast<double>(s.width),
                  static_cast<double>(s.height));
    return text + show(s.colour);
}

std::string show(const sim::DrawnText& t) {
    char text[120];
    std::snprintf(text, sizeof text, "\" at (%.4f, %.4f) scale %.3fx%.3f %s%s ", static_cast<double>(t.x),
                  static_cast<double>(t.y), static_cast<double>(t.scaleX), static_cast<double>(t.scaleY),
                  t.font.c_str(), t.centred ? " centred" : "");
    return "\"" + t.text + text + show(t.colour);
}

// The sprite, given by its top-left corner as the documentation gives it.
bool spriteIs(const sim::DrawnSprite& s, const char* dictionary, const char* texture, float left, float top,
              float width, float height, const sim::Rgba& colour) {
    return s.dictionary == dictionary && s.texture == texture && near(s.width, width) &&
           near(s.height, height) && near(s.centreX, left + width * 0.5f) &&
           near(s.centreY, top + height * 0.5f) && s.rotation == 0.0f && s.colour == colour;
}

bool textIs(const sim::DrawnText& t, float x, float y, float scale, const char* font, const sim::Rgba& colour,
            bool centred) {
    return near(t.x, x) && near(t.y, y) && near(t.scaleX, scale) && near(t.scaleY, scale) && t.font == font &&
           t.colour == colour && t.centred == centred;
}

std::string where(float value) {
    char text[24];
    std::snprintf(text, sizeof text, "%.4f", static_cast<double>(value));
    return text;
}

}  // namespace

struct ScreenRules::Row {
    int index = 0;
    float top = 0.0f;
    std::string kind;  // "boat" or the option's key
    std::int32_t model = 0;
    std::vector<const sim::DrawnText*> texts;
    std::vector<const sim::DrawnSprite*> sprites;  // its frame, tick and underline
    bool selected = false;
    bool dimmed = false;
    float fee = 0.0f;  // what it must be affordable for
};

struct ScreenRules::Frame {
    const sim::FrameDraws& draws;
    std::vector<Row> rows;
    bool purchase = false;
    int selected = -1;
    bool description = false;
    bool steady = false;  // the same panel as the frame before, with the same cash and boat
};

ScreenRules::ScreenRules(testing::Harness& game, const Account& account)
    : game_(game), world_(game.world()), account_(account) {
    const std::filesystem::path folder = game.folder() / "Tollmere";
    lang_ = readLayered(folder, "Lang", world_.language);
    for (const auto& [key, value] : readLayered(folder, "Configs", world_.language)) {
        char* end = nullptr;
        const float parsed = std::strtof(value.c_str(), &end);
        if (!value.empty() && *end == '\0') configs_[key] = parsed;
    }
    for (const auto& [model, speed] : kBoatTypes) {
        const std::string name = lang("boat_types." + std::to_string(model));
        if (!name.empty()) modelByName_[name] = model;
    }
}

float ScreenRules::config(const std::string& key) const {
    const auto it = configs_.find(key);
    return it == configs_.end() ? kMissing : it->second;
}

std::string ScreenRules::lang(const std::string& key) const {
    const auto it = lang_.find(key);
    return it == lang_.end() ? std::string() : it->second;
}

void ScreenRules::beforeFrame() {
    cashBefore_ = world_.cashCents;
    toastsBefore_ = world_.moneyToasts.size();
    helpBefore_ = world_.helpTexts.size();
    const sim::Entity* boat = Model::ownBoat(world_, account_.claimed());
    boatBefore_ = boat != nullptr ? boat->handle : 0;
    modelBefore_ = boat != nullptr ? boat->model : 0;
    healthBefore_ = boat != nullptr ? boat->health : 0;
}

std::vector<Broken> ScreenRules::afterFrame() {
    // Whoever changed his cash (a charge, a reward, the game), the rows drawn next still frame what
    // was selected before they found they cannot be paid for.
    cashSteadyFrames_ = world_.cashCents == cashLastFrame_ ? cashSteadyFrames_ + 1 : 0;
    cashLastFrame_ = world_.cashCents;
    const sim::Entity* boat = Model::ownBoat(world_, account_.claimed());
    const std::int32_t health = boat != nullptr ? boat->health : 0;
    healthSteady_ = health == healthLastFrame_;
    healthLastFrame_ = health;
    std::vector<Broken> broken;
    if (auto found = checkCalls()) broken.push_back(std::move(*found));
    if (auto found = checkShop()) broken.push_back(std::move(*found));
    if (auto found = checkCamera()) broken.push_back(std::move(*found));
    if (auto found = checkFeed()) broken.push_back(std::move(*found));
    if (auto found = checkSelection()) broken.push_back(std::move(*found));
    othersScreenBefore_.reset();
    for (const sim::World::SharedState state : {sim::World::SharedState::fade, sim::World::SharedState::camera}) {
        const auto held = world_.shared.held.find({state, 0});
        if (held != world_.shared.held.end() && held->second.holder != sim::Host::kPluginName)
            othersScreenBefore_ = held->second.holder;
    }
    return broken;
}

// Down and up walk the catalogue's rows as documented: down to the first row below that can be
// chosen, up to the nearest one above, neither past the ends, and nothing else moves the red frame.
// Right and left step the selected row's option by one (none below 1), or leave it at its end, and
// no other row's. Down and up are read after the rows are drawn, and show in the rows drawn next.
// Judged between two frames that draw the same rows, none of them changing whether it can be
// chosen, without a select in between (a purchase may set the rows up anew).
std::optional<Broken> ScreenRules::checkSelection() {
    std::vector<ShownRow> rows = Model::readCatalogue(world_.screen.thisFrame());
    const std::vector<ShownRow> before = std::exchange(rowsBefore_, rows);
    int keys = 0;
    for (const auto& [control, bit] : kMenuKeys) {
        if (world_.input.justPressed(control)) keys |= bit;
    }
    const int pressed = std::exchange(keysBefore_, keys);
    // The first frame of a catalogue opened afresh sets its option rows up after drawing them.
    rowsFrames_ = rows.empty() ? 0 : rowsFrames_ + 1;
    if (rowsFrames_ < 3 || before.size() != rows.size() || (pressed & kSelectKey) != 0) return std::nullopt;
    int was = -1;
    int now = -1;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].title != before[i].title || rows[i].dimmed != before[i].dimmed) return std::nullopt;
        if (before[i].selected) was = static_cast<int>(i);
        if (rows[i].selected) now = static_cast<int>(i);
    }
    if (was < 0 || before[static_cast<std::size_t>(was)].dimmed) return std::nullopt;
    const int step = (pressed & kDownKey) != 0 ? 1 : (pressed & kUpKey) != 0 ? -1 : 0;
    int expected = was;
    for (int i = was + step; step != 0 && i >= 0 && i < static_cast<int>(rows.size()); i += step) {
        if (!rows[static_cast<std::size_t>(i)].dimmed) {
            expected = i;
            break;
        }
    }
    auto title = [&rows](int i) {
        return i < 0 ? std::string("no row") : "\"" + rows[static_cast<std::size_t>(i)].title + "\"";
    };
    if (now != expected) {
        const char* key = step == 1 ? "down" : step == -1 ? "up" : "neither down nor up";
        return Broken{"shop-keys", "with " + title(was) + " selected and " + key +
                                       " pressed, the red frame went to " + title(now) + ", not " +
                                       title(expected)};
    }
    // A row takes right and left as it is drawn, before down and up are read: an option moves in
    // the frame of the press, on the row the red frame stands on in that frame.
    if ((keys & kSelectKey) != 0) return std::nullopt;
    const int turn = (keys & kRightKey) != 0 ? 1 : (keys & kLeftKey) != 0 ? -1 : 0;
    auto number = [this](const std::string& value) {
        return value == lang("generic.none") ? 0 : std::atoi(value.c_str());
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].value == before[i].value) continue;
        const int from = number(before[i].value);
        if (static_cast<int>(i) != now || turn == 0 || number(rows[i].value) != from + turn)
            return Broken{"shop-keys", "row " + title(static_cast<int>(i)) + " went from \"" +
                                           before[i].value + "\" to \"" + rows[i].value + "\"" +
                                           (static_cast<int>(i) != now ? " while another row was selected"
                                            : turn == 0 ? " with neither right nor left pressed"
                                                        : " in one step")};
    }
    return std::nullopt;
}

std::optional<Broken> ScreenRules::checkShop() {
    const sim::FrameDraws& draws = world_.screen.thisFrame();
    Frame frame{draws, {}, false, -1, false, false};
    bool catalogue = false;
    for (const sim::DrawnSprite* sprite : draws.sprites()) {
        catalogue =
            catalogue || sprite->texture == "inkroller_1a" || sprite->texture == "selection_box_bg_1d";
    }
    if (!catalogue) {
        before_ = Seen{};
        catalogueFrames_ = 0;
        return std::nullopt;
    }
    // The shop looks at the screen before it draws: another script's fade out, running or done, or
    // its camera rendering, as the frame before left them, closes the panel before it is drawn again.
    if (othersScreenBefore_)
        return Broken{"shop-screen", "frame " + std::to_string(world_.frame) + ": the catalogue is drawn while " +
                                         *othersScreenBefore_ + " holds the screen"};
    const std::optional<std::string> wrong = checkFrame(frame);
    opening_ = false;
    const bool sameMode = before_.catalogue && before_.purchase == frame.purchase;
    catalogueFrames_ = sameMode ? catalogueFrames_ + 1 : 1;
    before_ = Seen{true, frame.purchase, frame.description};
    if (!wrong) return std::nullopt;
    return Broken{"shop-screen", "frame " + std::to_string(world_.frame) + ": " + *wrong};
}

std::optional<std::string> ScreenRules::checkFrame(Frame& frame) {
    const sim::Entity* boat = Model::ownBoat(world_, account_.claimed());
    // Prices and dimming are worked out around the drawing: cash or health changed since the frame
    // before (by anyone) shows one frame late.
    frame.steady = before_.catalogue && catalogueFrames_ >= 2 && cashSteadyFrames_ >= 1 && boat != nullptr &&
                   boat->handle == boatBefore_ && boat->model == modelBefore_ &&
                   boat->health == healthBefore_ && healthSteady_;

    // The boat he looks at lies at the dock at anchor: brought there and moored, or swapped for the
    // model he has picked and anchored again.
    if (frame.steady && !boat->anchored) return "the boat shown at the dock is not at anchor";

    std::vector<bool> accounted(frame.draws.draws.size(), false);
    auto index = [&frame](const void* draw) {
        for (std::size_t i = 0; i < frame.draws.draws.size(); ++i) {
            const auto& d = frame.draws.draws[i];
            if (std::visit([draw](const auto& v) { return static_cast<const void*>(&v) == draw; }, d))
                return i;
        }
        return frame.draws.draws.size();
    };
    auto take = [&](const void* draw) { accounted[index(draw)] = true; };

    // The frame around the rows: panel, header, title, subtitle.
    int panels = 0;
    int headers = 0;
    std::vector<float> dividers;
    for (const sim::DrawnSprite* s : frame.draws.sprites()) {
        if (s->texture == "inkroller_1a") {
            if (!spriteIs(*s, "generic_textures", "inkroller_1a", kPanelLeft, kPanelTop, kPanelWidth,
                          kPanelHeight, kPanelColour))
                return "the panel is drawn as " + show(*s);
            ++panels;
            take(s);
        } else if (s->texture == "menu_header_1a") {
            if (!spriteIs(*s, "generic_textures", "menu_header_1a", kContentLeft, kHeaderTop, kContentWidth,
                          kHeaderHeight, kLight))
                return "the header is drawn as " + show(*s);
            ++headers;
            take(s);
        } else if (s->texture == "divider_line" && near(s->width, kContentWidth)) {
            const float top = s->centreY - s->height * 0.5f;
            if (!spriteIs(*s, "menu_textures", "divider_line", kContentLeft, top, kContentWidth,
                          kDividerHeight, kLight))
                return "a divider is drawn as " + show(*s);
            dividers.push_back(top);
            take(s);
        }
    }
    if (panels != 1 || headers != 1)
        return "the catalogue shows " + std::to_string(panels) + " panels and " + std::to_string(headers) +
               " headers, not one of each";

    const std::string title = lang("catalog.title");
    const sim::DrawnText* titleText = frame.draws.findText(title);
    if (titleText == nullptr) return "the catalogue has no title \"" + title + "\"";
    if (!textIs(*titleText, kContentLeft + kContentWidth * 0.5f, kHeaderTop + kHeaderHeight * 0.25f, 0.7f,
                "$title", kLight, true))
        return "the title is drawn as " + show(*titleText);
    take(titleText);

    if (auto wrong = checkRows(frame)) return wrong;
    // The boats open on the first he can buy, whichever he looked at the last time; his cash the same
    // all through the way in.
    if (frame.purchase && opening_ && cashSteadyFrames_ >= kCashSteadyOpening) {
        const auto first = std::find_if(frame.rows.begin(), frame.rows.end(), [](const Row& row) { return !row.dimmed; });
        if (first != frame.rows.end() && frame.selected != first->index)
            return "the boats open with row " + std::to_string(frame.selected) + " selected, not \"" +
                   first->texts.front()->text + "\", the first he can buy";
    }
    for (const Row& row : frame.rows) {
        for (const sim::DrawnText* t : row.texts)
            take(t);
        for (const sim::DrawnSprite* s : row.sprites)
            take(s);
    }
    for (const sim::DrawnSprite* s : frame.draws.sprites()) {
        if (s->texture == "selection_box_bg_1d") take(s);
    }

    const std::string subtitle =
        lang(frame.purchase ? "catalog.subtitle.purchase" : "catalog.subtitle.customize");
    const sim::DrawnText* subtitleText = frame.draws.findText(subtitle);
    if (subtitleText == nullptr || !textIs(*subtitleText, kContentLeft + kContentWidth * 0.5f, kSubtitleY,
                                           kFontScale, "$title", kLight, true))
        return std::string("the ") + (frame.purchase ? "purchase" : "customise") +
               " rows come without the subtitle \"" + subtitle + "\" in its place";
    take(subtitleText);

    // Four dividers: under the subtitle, under the rows, over and under the ratings.
    const float listEnd = kRowsTop + static_cast<float>(frame.rows.size()) * kRowHeight + 0.001f;
    std::vector<float> expected{kFirstDividerY, listEnd, kStatsTop - kMargin * 0.5f, kLastDividerY};
    std::sort(dividers.begin(), dividers.end());
    std::sort(expected.begin(), expected.end());
    bool dividersRight = dividers.size() == expected.size();
    for (std::size_t i = 0; dividersRight && i < expected.size(); ++i)
        dividersRight = near(dividers[i], expected[i]);
    if (!dividersRight) {
        std::string at;
        for (float y : dividers)
            at += " " + where(y);
        return "the dividers lie at" + at + ", not under the subtitle, under the " +
               std::to_string(frame.rows.size()) + " rows and around the ratings";
    }

    // The description of the row selected once the frame's presses are done, which is the row the
    // next frame draws selected.
    const std::string description = lang("catalog.input.propset.description");
    if (const sim::DrawnText* text = description.empty() ? nullptr : frame.draws.findText(description)) {
        if (!textIs(*text, kContentLeft, kDescriptionY, kFontScale, "$body", kLight, false))
            return "the description is drawn as " + show(*text);
        frame.description = true;
        take(text);
    }
    if (before_.catalogue && before_.purchase == frame.purchase && frame.selected >= 0 &&
        world_.cashCents == cashBefore_) {
        const bool wanted = frame.rows[static_cast<std::size_t>(frame.selected)].kind == "propset";
        if (wanted != before_.description)
            return std::string("the frame before ") + (before_.description ? "showed" : "did not show") +
                   " the description, and the row selected after it is \"" +
                   frame.rows[static_cast<std::size_t>(frame.selected)].texts.front()->text + "\"";
    }

    if (auto wrong = checkStats(frame)) return wrong;
    for (const sim::DrawnText* t : frame.draws.texts()) {
        if (t->y >= kStatsTop - 0.001f && t->y < kLastDividerY) take(t);
    }
    for (const sim::DrawnSprite* s : frame.draws.sprites()) {
        if (s->texture == "star" || s->texture == "star_outline") take(s);
    }

    for (std::size_t i = 0; i < accounted.size(); ++i) {
        if (accounted[i]) continue;
        const auto& draw = frame.draws.draws[i];
        if (const auto* s = std::get_if<sim::DrawnSprite>(&draw))
            return "the catalogue also draws " + show(*s);
        return "the catalogue also draws " + show(std::get<sim::DrawnText>(draw));
    }
    return std::nullopt;
}

std::optional<std::string> ScreenRules::checkRows(Frame& frame) {
    std::vector<const sim::DrawnSprite*> boxes;
    for (const sim::DrawnSprite* s : frame.draws.sprites()) {
        if (s->texture == "selection_box_bg_1d") boxes.push_back(s);
    }
    std::sort(boxes.begin(), boxes.end(),
              [](const sim::DrawnSprite* a, const sim::DrawnSprite* b) { return a->centreY < b->centreY; });
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        Row row;
        row.index = static_cast<int>(i);
        row.top = kRowsTop + static_cast<float>(i) * kRowHeight;
        if (!spriteIs(*boxes[i], "generic_textures", "selection_box_bg_1d", kContentLeft, row.top + kAbove,
                      kContentWidth, kRowHeight - kAbove, kBoxColour))
            return "row " + std::to_string(i + 1) + "'s box is drawn as " + show(*boxes[i]);
        frame.rows.push_back(std::move(row));
    }
    auto rowAt = [&frame](float y) -> Row* {
        for (Row& row : frame.rows) {
            if (y >= row.top - kPlace && y < row.top + kRowHeight - kPlace) return &row;
        }
        return nullptr;
    };
    for (const sim::DrawnText* t : frame.draws.texts()) {
        if (Row* row = rowAt(t->y)) row->texts.push_back(t);
    }
    for (const sim::DrawnSprite* s : frame.draws.sprites()) {
        if (s->texture.starts_with("crafting_highlight_") || s->texture == "menu_icon_tick" ||
            (s->texture == "divider_line" && !near(s->width, kContentWidth))) {
            Row* row = rowAt(s->centreY - s->height * 0.5f);
            if (row == nullptr) return "the catalogue draws " + show(*s) + " outside every row";
            row->sprites.push_back(s);
        }
    }

    int boats = 0;
    for (Row& row : frame.rows) {
        if (row.texts.empty()) return "row " + std::to_string(row.index + 1) + " has no title";
        const sim::DrawnText& title = *row.texts.front();
        if (const auto it = modelByName_.find(title.text); it != modelByName_.end()) {
            row.kind = "boat";
            row.model = it->second;
            row.fee = config("fees.boat." + std::to_string(row.model));
            ++boats;
        } else {
            for (const char* option : kOptionRows) {
                if (title.text == lang(std::string("catalog.input.") + option)) row.kind = option;
            }
            if (row.kind.empty())
                return "row " + std::to_string(row.index + 1) + " is titled \"" + title.text +
                       "\", which the catalogue does not sell";
            row.fee = config("fees." + row.kind);
        }
        const sim::Rgba colour = title.colour;
        row.dimmed = colour.a == kDimmed;
        if (colour.r != kTextShade || colour.g != kTextShade || colour.b != kTextShade ||
            (colour.a != kDimmed && colour.a != kFull))
            return "row \"" + title.text + "\" has the text colour " + show(colour);
        const float textY = row.top + kAbove + kRowHeight / 6.0f;
        if (!textIs(title, kContentLeft + kInner, textY, kFontScale, "$body", colour, false))
            return "row " + std::to_string(row.index + 1) + "'s title is drawn as " + show(title);

        // Its red frame, all four sides or none.
        int sides = 0;
        for (const sim::DrawnSprite* s : row.sprites) {
            if (!s->texture.starts_with("crafting_highlight_")) continue;
            const float x = kContentLeft;
            const float y = row.top;
            const float tall = kRowHeight - kAbove;
            const bool right =
                spriteIs(*s, "menu_textures", "crafting_highlight_t", x, y, kContentWidth, 0.015f,
                         kFrameColour) ||
                spriteIs(*s, "menu_textures", "crafting_highlight_b", x, y + kRowHeight - kAbove - kInner,
                         kContentWidth, 0.015f, kFrameColour) ||
                spriteIs(*s, "menu_textures", "crafting_highlight_l", x - 0.003f, y + kAbove, 0.006f, tall,
                         kFrameColour) ||
                spriteIs(*s, "menu_textures", "crafting_highlight_r", x + kContentWidth - 0.003f, y + kAbove,
                         0.006f, tall, kFrameColour);
            if (!right) return "row \"" + title.text + "\"'s selection frame has " + show(*s);
            ++sides;
        }
        if (sides != 0 && sides != 4)
            return "row \"" + title.text + "\" is framed on " + std::to_string(sides) + " sides";
        row.selected = sides == 4;
        if (row.selected) {
            if (frame.selected >= 0) return "two rows are framed as selected";
            frame.selected = row.index;
        }
        for (const sim::DrawnText* t : row.texts) {
            if (!(t->colour == colour))
                return "row \"" + title.text + "\" draws \"" + t->text + "\" in " + show(t->colour) +
                       ", its title in " + show(colour);
        }
        if (auto wrong = checkRowPrice(row, boats > 0, frame.steady)) return wrong;
    }

    // Either every boat type, in the documented order, or the five options of his boat in theirs.
    frame.purchase = boats > 0;
    if (frame.purchase) {
        bool inOrder = frame.rows.size() == kBoatTypes.size();
        for (std::size_t i = 0; inOrder && i < frame.rows.size(); ++i)
            inOrder = frame.rows[i].model == kBoatTypes[i].first;
        if (!inOrder) return "the purchase rows are not the five boat types in the catalogue's order";
    } else {
        bool inOrder = frame.rows.size() == kOptionRows.size();
        for (std::size_t i = 0; inOrder && i < frame.rows.size(); ++i)
            inOrder = frame.rows[i].kind == kOptionRows[i];
        if (!inOrder)
            return "the customise rows are not repair, clean, paint, fittings and lanterns in that order";
    }

    // Once set up, the options the cycling rows stand on are what the boat at the dock wears: his
    // own as set up from the record, or the one he cycled to, previewed at once.
    const sim::Entity* shown = Model::ownBoat(world_, account_.claimed());
    const int tintBefore = std::exchange(tintBefore_, 0);
    if (!frame.purchase && frame.steady && shown != nullptr && shown->healthFraction() >= 0.85f) {
        for (const Fittings& fittings : kFittings) {
            if (fittings.model != static_cast<std::int32_t>(shown->model)) continue;
            for (const Row& row : frame.rows) {
                const sim::DrawnText* value = nullptr;
                for (const sim::DrawnText* t : row.texts)
                    value = t->centred ? t : value;
                if (value == nullptr) continue;
                const int v = value->text == lang("generic.none") ? 0 : std::atoi(value->text.c_str());
                // A paint the model lacks may be what a new boat came with, and the row then keeps
                // the value it had; but cycling only ever moves it onto one of the model's paints.
                if (row.kind == "tint") {
                    const bool moved = tintBefore > 0 && v != tintBefore;
                    tintBefore_ = v;
                    if (moved && (v < 1 || v > fittings.tints))
                        return "the paint row moved on to \"" + value->text + "\" on a boat of " +
                               std::to_string(fittings.tints) + " paints";
                }
                bool wears = true;
                // A paint past the model's count cannot be stood on: the row keeps the value it had.
                if (row.kind == "tint") wears = shown->tint == v - 1 || shown->tint >= fittings.tints;
                const auto& names = row.kind == "propset" ? fittings.propSets : fittings.lanterns;
                const std::uint32_t worn = row.kind == "propset" ? shown->propSet : shown->lanternPropSet;
                if (row.kind != "tint") {
                    wears = v >= 0 && v <= static_cast<int>(names.size()) &&
                            worn == (v == 0 ? 0u : sim::hashOf(names[static_cast<std::size_t>(v - 1)]));
                }
                if (!wears)
                    return "row \"" + row.texts.front()->text + "\" stands on \"" + value->text +
                           "\" while the boat at the dock wears another";
            }
        }
    }

    // Dimmed exactly when he cannot have it: short of its price, or, in his boat's menu, while the
    // boat needs a repair before anything else (and the repair row while it does not). The first
    // frame of a mode still draws what the mode found; a frame that changed his cash dims after
    // drawing the rows it came from.
    const sim::Entity* boat = Model::ownBoat(world_, account_.claimed());
    if (frame.steady && boat != nullptr) {
        const bool needsRepair = boat->healthFraction() < 0.85f;
        for (const Row& row : frame.rows) {
            float price = row.fee;
            if (row.kind == "fix_boat" && needsRepair) {
                price = static_cast<float>(
                    std::trunc(static_cast<double>(row.fee) * std::max(1.0 - boat->healthFraction(), 0.4)));
            }
            const bool unpriced = price < 0.0f;
            // In the cents the row shows and a purchase charges: his last cent decides.
            const bool shortOfCash = world_.cashCents < std::llround(static_cast<double>(price) * 100.0);
            bool wanted = unpriced || shortOfCash;
            if (!frame.purchase) {
                if (row.kind == "fix_boat")
                    wanted = wanted || !needsRepair;
                else
                    wanted = wanted || needsRepair;
            }
            if (wanted != row.dimmed)
                return "row \"" + row.texts.front()->text + "\" is " + (row.dimmed ? "dimmed" : "on offer") +
                       " with $" + std::to_string(world_.cashCents / 100) + " in hand and a price of " +
                       where(price) +
                       (frame.purchase ? ""
                        : needsRepair  ? ", the boat needing a repair"
                                       : ", the boat sound");
            // A row is framed before it finds it cannot be paid for: the frame after a charge may
            // still frame it; and a repair the boat needs is selected on every frame, paid or not.
            const bool needed = !frame.purchase && row.kind == "fix_boat" && needsRepair;
            if (row.selected && row.dimmed && !needed && cashSteadyFrames_ >= 2)
                return "the dimmed row \"" + row.texts.front()->text + "\" is selected";
        }
        // The tick marks the option that is his on each row: the last he paid for, or what his boat
        // came with. While a repair comes first the option rows are not set up for his boat yet, and
        // the rows are drawn before a select is read.
        const Ownership& owned = account_.owned();
        const bool selecting = world_.input.justPressed(0xC7B5340Au);
        for (const Row& row : frame.rows) {
            if (frame.purchase || owned.adoptNextRecord || needsRepair || selecting) break;
            const std::int32_t his = row.kind == "tint"              ? owned.tint
                                     : row.kind == "propset"         ? owned.propSet
                                     : row.kind == "lantern_propset" ? owned.lanternPropSet
                                                                     : kUnknownOption;
            const auto value = std::find_if(row.texts.begin() + 1, row.texts.end(),
                                            [](const sim::DrawnText* t) { return t->centred; });
            // A row the file gives no price shows a dash in the tick's place.
            if (his == kUnknownOption || value == row.texts.end() || row.fee < 0.0f) continue;
            const std::int32_t option =
                (*value)->text == lang("generic.none") ? -1 : std::atoi((*value)->text.c_str()) - 1;
            const bool tick = std::any_of(row.sprites.begin(), row.sprites.end(), [](const sim::DrawnSprite* s) {
                return s->texture == "menu_icon_tick";
            });
            if (tick != (option == his))
                return "row \"" + row.texts.front()->text + "\" stands on \"" + (*value)->text + "\" " +
                       (tick ? "with" : "without") + " the tick, his option being " + std::to_string(his + 1);
        }
        // Rows out of reach come back with his cash, and the first he can choose is then selected.
        const auto choosable = std::find_if(frame.rows.begin(), frame.rows.end(),
                                            [](const Row& row) { return !row.dimmed; });
        if (frame.selected < 0 && choosable != frame.rows.end() && cashSteadyFrames_ >= 2)
            return "no row is selected while \"" + choosable->texts.front()->text + "\" can be chosen";
    }
    return std::nullopt;
}

std::optional<std::string> ScreenRules::checkRowPrice(const Row& row, bool purchase, bool steady) const {
    const sim::DrawnText& title = *row.texts.front();
    const std::string& name = title.text;
    const sim::Rgba colour = title.colour;
    const float textX = kContentLeft + kInner;
    const float textY = row.top + kAbove + kRowHeight / 6.0f;
    const bool cycles = row.kind == "tint" || row.kind == "propset" || row.kind == "lantern_propset";
    if (purchase != (row.kind == "boat")) return "boat rows and option rows are drawn together";

    const sim::DrawnText* dollars = nullptr;
    const sim::DrawnText* cents = nullptr;
    const sim::DrawnText* value = nullptr;
    const sim::DrawnText* dash = nullptr;
    for (std::size_t i = 1; i < row.texts.size(); ++i) {
        const sim::DrawnText* t = row.texts[i];
        if (t->centred && value == nullptr)
            value = t;
        else if (t->text.starts_with("$") && dollars == nullptr)
            dollars = t;
        else if (t->text == "--" && dash == nullptr)
            dash = t;
        else if (dollars != nullptr && cents == nullptr)
            cents = t;
        else
            return "row \"" + name + "\" also draws " + show(*t);
    }
    const sim::DrawnSprite* tick = nullptr;
    const sim::DrawnSprite* underline = nullptr;
    for (const sim::DrawnSprite* s : row.sprites) {
        if (s->texture == "menu_icon_tick") tick = s;
        if (s->texture == "divider_line") underline = s;
    }

    // The option a cycling row stands on, in the row's middle.
    if (cycles != (value != nullptr))
        return "row \"" + name + "\" " + (cycles ? "shows no option" : "shows an option");
    bool onNone = false;
    if (value != nullptr) {
        if (!textIs(*value, kContentLeft + kContentWidth / 2.0f, textY, kFontScale, "$body", colour, true))
            return "row \"" + name + "\"'s option is drawn as " + show(*value);
        onNone = value->text == lang("generic.none");
        const bool number = !value->text.empty() && std::all_of(value->text.begin(), value->text.end(),
                                                                [](char c) { return c >= '0' && c <= '9'; });
        if (!onNone && !(number && value->text != "0"))
            return "row \"" + name + "\" stands on the option \"" + value->text + "\"";
        if (onNone && row.kind == "tint") return "the paint row stands on no paint";
    }

    if (tick != nullptr) {
        // Only an option already his shows the tick, in place of its price.
        if (!cycles || dollars != nullptr || dash != nullptr || underline != nullptr)
            return "row \"" + name + "\" shows a tick it cannot have";
        if (!spriteIs(*tick, "menu_textures", "menu_icon_tick",
                      textX + kContentWidth - kIconWidth - 2.0f * kInner,
                      row.top + kRowHeight * 0.5f - 0.0096f, kIconWidth, 0.0192f, colour))
            return "row \"" + name + "\"'s tick is drawn as " + show(*tick);
        return std::nullopt;
    }
    if (row.fee < 0.0f) {
        // No price in Configs.dat: the service is not sold, and says so with a dash.
        if (dash == nullptr || dollars != nullptr || underline != nullptr)
            return "row \"" + name + "\" has no price in Configs.dat and does not show a dash";
        if (!textIs(*dash, textX + kContentWidth - 0.022f - 2.0f * kInner, textY, kFontScale * 1.4f, "$title",
                    colour, false))
            return "row \"" + name + "\"'s dash is drawn as " + show(*dash);
        return std::nullopt;
    }
    if (dollars == nullptr || cents == nullptr || underline == nullptr || dash != nullptr)
        return "row \"" + name + "\" does not show a price in dollars and underlined cents";

    // The price: its fee, nothing for no fitting, the repair by the damage (the boat in the world).
    float price = onNone ? 0.0f : row.fee;
    bool repairByDamage = false;
    if (row.kind == "fix_boat") {
        const sim::Entity* boat = Model::ownBoat(world_, account_.claimed());
        // Priced after the rows are drawn: the first frame of the menu still shows the last price.
        if (boat == nullptr || boat->healthFraction() >= 0.85f || !steady) {
            repairByDamage = true;  // priced by a damage he cannot see now
        } else {
            price = static_cast<float>(
                std::trunc(static_cast<double>(row.fee) * std::max(1.0 - boat->healthFraction(), 0.4)));
        }
    }
    // A price written with cents means those cents, whatever the float holds: 8.90 is 890.
    const std::int64_t priceCents = std::llround(static_cast<double>(price) * 100.0);
    const std::int64_t wholeDollars = priceCents / 100;
    const std::int64_t centsValue = priceCents % 100;
    char wantDollars[24];
    char wantCents[8];
    std::snprintf(wantDollars, sizeof wantDollars, "$%lld", static_cast<long long>(wholeDollars));
    std::snprintf(wantCents, sizeof wantCents, "%02lld", static_cast<long long>(centsValue));
    if (!repairByDamage) {
        if (dollars->text != wantDollars || cents->text != wantCents)
            return "row \"" + name + "\" shows " + dollars->text + "." + cents->text +
                   " where its price is " + wantDollars + "." + wantCents;
    } else if (cents->text != "00") {
        return "the repair shows " + dollars->text + "." + cents->text + ", not whole dollars";
    }

    // The dollars step left by one place per digit so that the cents keep theirs.
    const std::int64_t shown = std::max<std::int64_t>(std::atoll(dollars->text.c_str() + 1), 1);
    const float digits = std::floor(std::log10(static_cast<float>(shown)));
    const float width = (digits + 2.0f) * 0.0075f + 0.022f + kInner;
    const float dollarsX = textX + kContentWidth - width;
    const float centsX = dollarsX + width - 0.02f - kInner;
    if (!textIs(*dollars, dollarsX, textY, kFontScale * 1.4f, "$title", colour, false))
        return "row \"" + name + "\"'s dollars are drawn as " + show(*dollars);
    if (!textIs(*cents, centsX, textY + 0.001f, kFontScale * 0.92f, "$title", colour, false))
        return "row \"" + name + "\"'s cents are drawn as " + show(*cents);
    if (!spriteIs(*underline, "menu_textures", "divider_line", centsX + 0.0015f, textY + 0.02f, 0.01f,
                  kDividerHeight, kLight))
        return "row \"" + name + "\"'s cents are underlined with " + show(*underline);
    return std::nullopt;
}

std::optional<std::string> ScreenRules::checkStats(const Frame& frame) const {
    const sim::Rgba colour{kTextShade, kTextShade, kTextShade, kFull};
    const std::array<const char*, 3> labels{"boat_stats.health", "boat_stats.speed", "boat_stats.passengers"};
    const sim::Entity* boat = Model::ownBoat(world_, account_.claimed());
    for (std::size_t k = 0; k < labels.size(); ++k) {
        const float y = kStatsTop + 0.0015f + static_cast<float>(k) * kStatRowHeight;
        const std::string label = lang(labels[k]);
        const sim::DrawnText* text = frame.draws.findText(label);
        if (text == nullptr || !textIs(*text, kStatsLeft, y, kFontScale, "$body", colour, false))
            return "the rating \"" + label + "\" is not drawn at its place" +
                   (text != nullptr ? ": it is drawn as " + show(*text) : "");

        std::vector<const sim::DrawnSprite*> icons;
        for (const sim::DrawnSprite* s : frame.draws.sprites()) {
            if ((s->texture == "star" || s->texture == "star_outline") &&
                near(s->centreY, y + kIconHeight * 0.5f))
                icons.push_back(s);
        }
        std::sort(icons.begin(), icons.end(), [](const sim::DrawnSprite* a, const sim::DrawnSprite* b) {
            return a->centreX < b->centreX;
        });

        // How many stars of each kind, by what he can tell of the boat at the dock; -1 unknown.
        int total = 5;
        int filled = -1;
        int half = -1;
        if (boat != nullptr && frame.steady) {
            const float stat = static_cast<float>(boat->maxHealth) / 1500.0f;
            if (k == 0) {
                const float health = boat->healthFraction();
                const float upgrade =
                    config("boat_upgrades.health." + std::to_string(static_cast<std::int32_t>(boat->model)));
                const float full = health < 0.85f ? health * 5.0f : stat * 5.0f;
                const float halves = health < 0.85f ? stat * 5.0f : upgrade / 1500.0f * 5.0f;
                // A count a hair from a whole number is for the float to decide.
                if (std::fabs(full - std::round(full)) > 1e-3f &&
                    std::fabs(halves - std::round(halves)) > 1e-3f) {
                    filled = std::clamp(static_cast<int>(full), 0, total);
                    half = std::clamp(static_cast<int>(halves), 0, total);
                }
            } else if (k == 1) {
                for (const auto& [model, speed] : kBoatTypes) {
                    if (model == static_cast<std::int32_t>(boat->model)) filled = half = speed;
                }
            } else if (boat->passengerCapacity <= 10) {
                total = filled = half = boat->passengerCapacity;
            }
        }
        if (k == 2 && filled < 0) continue;  // seats he cannot count now
        if (static_cast<int>(icons.size()) != total)
            return "the rating \"" + label + "\" shows " + std::to_string(icons.size()) + " stars, not " +
                   std::to_string(total);
        const float gap = kIconHeight * 0.05f;
        float x = kStatsLeft + kStatsWidth - static_cast<float>(total) * kIconWidth;
        bool emptySeen = false;
        int full = 0;
        int halves = 0;
        for (const sim::DrawnSprite* s : icons) {
            const bool empty = s->texture == "star_outline";
            const int alpha = empty ? static_cast<int>(static_cast<float>(kFull) * 0.4f) : s->colour.a;
            if (!empty && s->colour.a != kFull && s->colour.a != kFull / 2)
                return "a star of \"" + label + "\" has " + show(s->colour);
            const sim::Rgba want{kTextShade, kTextShade, kTextShade, alpha};
            if (!spriteIs(*s, "generic_textures", s->texture.c_str(), x, y, kIconWidth, kIconHeight, want))
                return "a star of \"" + label + "\" is drawn as " + show(*s);
            // Full stars first, then the half-bright ones, then the empty ones.
            if ((emptySeen && !empty) || (halves > 0 && !empty && s->colour.a == kFull))
                return "the stars of \"" + label + "\" are out of order";
            emptySeen = emptySeen || empty;
            if (!empty) (s->colour.a == kFull ? full : halves) += 1;
            x += kIconWidth + gap;
        }
        if (filled >= 0) {
            const int wantHalves = std::max(half - filled, 0);
            if (full != filled || halves != wantHalves)
                return "the rating \"" + label + "\" shows " + std::to_string(full) + " full and " +
                       std::to_string(halves) + " half stars, not " + std::to_string(filled) + " and " +
                       std::to_string(wantHalves);
        }
    }
    return std::nullopt;
}

std::optional<Broken> ScreenRules::checkCalls() {
    // What the plug-in asked the game for in this frame, read from the game's own record.
    const auto& calls = game_.host().calls();
    std::optional<Broken> broken;
    auto fail = [&broken, this](const std::string& what, const char* rule = "shop-camera") {
        if (!broken) broken = Broken{rule, "frame " + std::to_string(world_.frame) + ": " + what};
    };
    bool panel = false;
    for (const sim::DrawnSprite* s : world_.screen.thisFrame().sprites())
        panel = panel || s->texture == "inkroller_1a";
    // One of the game's menus or scenes in the shop's waits holds its fade in back until they end.
    disturbed_ = disturbed_ || world_.menus.pauseMenu || world_.menus.uiApp || world_.menus.loadingScreen ||
                 world_.player.unavailable || world_.player.scriptedActivity;
    for (; callsRead_ < calls.size(); ++callsRead_) {
        const sim::CallRecord& call = calls[callsRead_];
        if (*call.script != sim::Host::kPluginName) {
            othersCalled_ = true;
            continue;
        }
        const std::string_view name = call.name;
        auto arg = [&call](std::size_t i) {
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(call.args[i]));
        };
        if (name == "doScreenFadeOut") {
            if (arg(0) != kFadeOutMs) fail("the shop fades out over " + std::to_string(arg(0)) + " ms");
            fadedOutAtMs_ = world_.gameTimeMs;
            // Out of the shop, the panel was up in the frame before it fades out; into it, not yet.
            fadedOutGoingIn_ = !panel && !panelBefore_;
            opening_ = fadedOutGoingIn_;
            othersCalled_ = false;
            disturbed_ = false;
            // Going in, the shop waits for each boat model the game has not loaded yet.
            modelsToLoad_ = 0;
            for (const auto& [model, speed] : kBoatTypes)
                modelsToLoad_ += world_.modelResident(static_cast<std::uint32_t>(model)) ? 0 : 1;
        } else if (name == "doScreenFadeIn") {
            if (arg(0) != kFadeInMs) fail("the shop fades in over " + std::to_string(arg(0)) + " ms");
            if (fadedOutAtMs_ >= 0) {
                // Going in, the screen comes back with the panel up, or without it when another
                // script took the screen in the fade and the shop gave way.
                const std::int32_t waits = fadedOutGoingIn_ ? kWaitsGoingInMs : kWaitsComingOutMs;
                const std::int32_t waited = world_.gameTimeMs - fadedOutAtMs_;
                const std::int32_t frameMs = world_.frameStepMs + world_.frameJitterMs;
                const std::int32_t loading =
                    fadedOutGoingIn_ ? modelsToLoad_ * (world_.modelLoadFrames + 2) * frameMs : 0;
                // At an even frame rate each wait ends on the frame it is due in: nothing to wait for
                // but the shop's own waits, they add up exactly.
                const bool exact = world_.frameJitterMs == 0 && waits % world_.frameStepMs == 0 &&
                                   loading == 0 && !othersCalled_ && !disturbed_;
                if (waited < waits || (exact && waited != waits) ||
                    (waited > waits + kWaitOverrunMs + loading && !othersCalled_ && !disturbed_))
                    fail("the shop fades back in " + std::to_string(waited) + " ms after fading out, " +
                         (fadedOutGoingIn_ ? "going in" : "coming out") + " (waits of " + std::to_string(waits) +
                         " ms)");
            }
            fadedOutAtMs_ = -1;
        } else if (name == "renderScriptCams") {
            if (arg(2) != kCameraBlendMs || arg(3) != 1 || arg(4) != 0 || arg(5) != 0)
                fail("the script cameras are switched with the blend " + std::to_string(arg(2)) +
                     " ms and flags " + std::to_string(arg(3)) + ", " + std::to_string(arg(4)) + ", " +
                     std::to_string(arg(5)));
            if (arg(0) == 1 && arg(1) != 0) fail("the shop's camera eases in");
        } else if (name == "createCameraWithParams") {
            camera_ = static_cast<std::uint32_t>(call.result[0]);
            if (arg(8) != 1 || arg(9) != 2)
                fail("the shop's camera is made with the flags " + std::to_string(arg(8)) + ", " +
                     std::to_string(arg(9)));
        } else if (name == "drawTextureRect" || name == "requestTextureDict" || name == "playFrontendSound" ||
                   name == "postHelpText" || name == "postMoneyToast") {
            // The documented trailing words: a sprite drawn with 1, a dictionary asked for with 0, a
            // sound played with 1 and 0, each feed post with 1.
            const std::size_t last = call.args.size() - 1;
            const bool right = name == "requestTextureDict"  ? arg(last) == 0
                               : name == "playFrontendSound" ? arg(2) == 1 && arg(3) == 0
                                                             : arg(last) == 1;
            if (!right)
                fail(std::string(name) + " is called with the last word " + std::to_string(arg(last)),
                     "screen-feed");
        }
    }
    panelBefore_ = panel;
    return broken;
}

std::optional<Broken> ScreenRules::checkFeed() {
    auto fail = [this](const std::string& what) {
        return Broken{"screen-feed", "frame " + std::to_string(world_.frame) + ": " + what};
    };
    for (std::size_t i = toastsBefore_; i < world_.moneyToasts.size(); ++i) {
        const sim::MoneyToast& toast = world_.moneyToasts[i];
        if (toast.durationMs != kToastMs || toast.texture != kToastTexture ||
            toast.textureDictionary != "ITEMTYPE_TEXTURES")
            return fail("a money toast shows for " + std::to_string(toast.durationMs) + " ms with the icon " +
                        toast.textureDictionary + "/" + std::to_string(toast.texture));
        if (toast.colour != kCreditColour && toast.colour != sim::hashOf("COLOR_RED"))
            return fail("a money toast of " + toast.amountText + " is neither green nor red");
    }
    for (std::size_t i = helpBefore_; i < world_.helpTexts.size(); ++i) {
        const sim::HelpText& help = world_.helpTexts[i];
        if (help.durationMs != kHelpTextMs || help.text.size() > kHelpTextLongest)
            return fail("the help text \"" + help.text.substr(0, 40) + "\" shows for " +
                        std::to_string(help.durationMs) + " ms");
    }
    return std::nullopt;
}

std::optional<Broken> ScreenRules::checkCamera() {
    if (camera_ == 0) return std::nullopt;
    const sim::Camera* camera = world_.cameras.find(camera_);
    if (camera == nullptr) return std::nullopt;
    auto fail = [this](const std::string& what) {
        return Broken{"shop-camera", "frame " + std::to_string(world_.frame) + ": " + what};
    };
    if (camera->name != "DEFAULT_SCRIPTED_CAMERA" || camera->fieldOfView != kCameraFieldOfView ||
        camera->rotation.x != 0.0f || camera->rotation.y != 0.0f || camera->rotation.z != 0.0f ||
        camera->rotationOrder != 2)
        return fail("the shop's camera was made as " + camera->name + " with a field of view of " +
                    where(camera->fieldOfView));
    if (world_.cameras.viewing() != camera) return std::nullopt;
    bool panel = false;
    for (const sim::DrawnSprite* s : world_.screen.thisFrame().sprites())
        panel = panel || s->texture == "inkroller_1a";
    if (!panel || !camera->pointAt) return std::nullopt;

    // He sees his boat from beyond the pier he stands on: the camera looks at the boat, 4.5 past the
    // pier (the dock's blip on his map marks it) on the far side from the boat, 2 up.
    const sim::Entity* boat = Model::ownBoat(world_, account_.claimed());
    if (boat == nullptr) return std::nullopt;
    const sim::Vec3 looks = *camera->pointAt;
    if (sim::distance(looks, boat->position) > world_.anchorSwingMetres + 0.5f)
        return fail("the shop's camera looks " + where(sim::distance(looks, boat->position)) +
                    " m away from the boat");
    const sim::Vec3 foot{camera->position.x, camera->position.y, camera->position.z - kCameraUp};
    for (const auto& [handle, blip] : world_.blips) {
        if (blip.style != kDockBlipStyle || blip.entity != 0) continue;
        const float fromPier = sim::distance(foot, blip.point);
        const float beyond = sim::distance(foot, looks) - sim::distance(blip.point, looks);
        if (std::fabs(fromPier - kCameraBeyondPier) < 0.01f && std::fabs(beyond - kCameraBeyondPier) < 0.01f)
            return std::nullopt;
    }
    return fail("the shop's camera stands at (" + where(camera->position.x) + ", " +
                where(camera->position.y) + ", " + where(camera->position.z) +
                "), not 4.5 beyond a pier from the boat and 2 up");
}

}  // namespace tollmere::playtest
