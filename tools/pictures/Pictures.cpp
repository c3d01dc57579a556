#include "Pictures.h"

#include "Hash.h"
#include "docks/DocksRegistry.h"
#include "runtime/Globals.h"
#include "runtime/Utf8.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <variant>

namespace tollmere::pictures {

namespace {

constexpr float kW = static_cast<float>(kScreenWidth);
constexpr float kH = static_cast<float>(kScreenHeight);
// Text scale 1.0 stands about this high on the screen, as a share of its height.
constexpr float kTextHeightAtScaleOne = 0.045f;

std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
    std::string out = text;
    while (out.back() == '0') {
        out.pop_back();
    }
    if (out.back() == '.') out.pop_back();
    return out == "-0" ? "0" : out;
}

// A screen coordinate as the plug-in passed it, to four places.
std::string fraction(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", static_cast<double>(value));
    return text;
}

std::string escaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        // A byte that is no part of a UTF-8 letter would make the whole picture unreadable XML.
        if (const std::size_t length = utf8::characterLength(text, i); length != 1) {
            out += length == 0 ? std::string_view("\xEF\xBF\xBD") : text.substr(i, length);
            i += length == 0 ? 0 : length - 1;
            continue;
        }
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string colour(const sim::Rgba& c) {
    return "fill=\"rgb(" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) +
           ")\" fill-opacity=\"" + number(static_cast<float>(c.a) / 255.0f) + "\"";
}

// A screen-space text line in the picture's own furniture (prompts, help, captions).
std::string label(float x, float y, float size, const char* fill, std::string_view text,
                  const char* anchor = "start") {
    return "<text x=\"" + number(x) + "\" y=\"" + number(y) + "\" font-size=\"" + number(size) +
           "\" fill=\"" + fill + "\" text-anchor=\"" + anchor + "\">" + escaped(text) + "</text>\n";
}

struct Control {
    std::uint32_t hash;
    const char* name;
};

// The controls the plug-in gives its prompts and menus, named as the player's pad shows them.
constexpr std::array<Control, 8> kControls = {{
    {sim::hashOf("INPUT_CONTEXT_X"), "X"},
    {sim::hashOf("INPUT_CONTEXT_Y"), "Y"},
    {sim::hashOf("INPUT_CONTEXT_B"), "B"},
    {sim::hashOf("INPUT_CONTEXT_A"), "A"},
    {sim::hashOf("INPUT_FRONTEND_ACCEPT"), "Enter"},
    {sim::hashOf("INPUT_FRONTEND_UP"), "Up"},
    {sim::hashOf("INPUT_FRONTEND_DOWN"), "Down"},
    {sim::hashOf("INPUT_FRONTEND_RIGHT"), "Right"},
}};

std::string controlName(const sim::GamePrompt& prompt) {
    if (!prompt.hasControl) return "?";
    for (const Control& control : kControls) {
        if (control.hash == prompt.control) return control.name;
    }
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", prompt.control);
    return text;
}

bool stillShowing(const sim::World& world, int frame, std::int32_t durationMs) {
    return (world.frame - frame) * world.frameStepMs < durationMs;
}

std::string drawText(const sim::DrawnText& text) {
    const float size = text.scaleY * kTextHeightAtScaleOne * kH;
    // The game places a text by its top; an SVG text stands on its baseline.
    const float baseline = text.y * kH + size * 0.8f;
    const float stretch = text.scaleY > 0.0f ? text.scaleX / text.scaleY : 1.0f;
    std::string out = "<text x=\"" + number(text.x * kW) + "\" y=\"" + number(baseline) + "\" data-x=\"" +
                      fraction(text.x) + "\" data-y=\"" + fraction(text.y) + "\" font-size=\"" +
                      number(size) + "\" " + colour(text.colour) + " text-anchor=\"" +
                      (text.centred ? "middle" : "start") + "\" font-family=\"" +
                      (text.font == "$title" ? "serif" : "sans-serif") +
                      // The game's texts carry a dark edge that keeps them readable on any sprite.
                      "\" stroke=\"#000\" stroke-opacity=\"0.6\" stroke-width=\"" + number(size / 12.0f) +
                      "\" paint-order=\"stroke\"";
    if (std::fabs(stretch - 1.0f) > 0.01f) {
        out += " transform=\"translate(" + number(text.x * kW) + " 0) scale(" + number(stretch) +
               " 1) translate(" + number(-text.x * kW) + " 0)\"";
    }
    return out + ">" + escaped(text.text) + "</text>\n";
}

std::string drawSprite(const sim::DrawnSprite& sprite) {
    const float x = (sprite.centreX - sprite.width * 0.5f) * kW;
    const float y = (sprite.centreY - sprite.height * 0.5f) * kH;
    const float w = sprite.width * kW;
    const float h = sprite.height * kH;
    std::string rotate;
    if (sprite.rotation != 0.0f) {
        rotate = " transform=\"rotate(" + number(sprite.rotation) + " " + number(sprite.centreX * kW) + " " +
                 number(sprite.centreY * kH) + ")\"";
    }
    std::string out = "<rect x=\"" + number(x) + "\" y=\"" + number(y) + "\" width=\"" + number(w) +
                      "\" height=\"" + number(h) + "\" data-texture=\"" +
                      escaped(sprite.dictionary + "/" + sprite.texture) + "\"" + rotate;
    out += sprite.resident ? " " + colour(sprite.colour) + "/>\n"
                           : " fill=\"none\" stroke=\"#c04040\" stroke-dasharray=\"4 3\"/>\n";
    // The texture's name in the bottom corner, where there is room for it.
    if (h >= 9.0f && w >= 40.0f) {
        out += label(x + w - 3.0f, y + h - 2.0f, 7.0f, "#8a94a0",
                     sprite.texture + (sprite.resident ? "" : " (not loaded)"), "end");
    }
    return out;
}

std::string drawPrompts(const sim::World& world) {
    std::string out;
    const auto visible = world.prompts.visible();
    float y = kH - 40.0f - 34.0f * static_cast<float>(visible.size());
    for (const sim::GamePrompt* prompt : visible) {
        const bool enabled = world.prompts.isEnabled(prompt->handle);
        const std::string key = controlName(*prompt);
        const float keyWidth = 14.0f + 9.0f * static_cast<float>(key.size());
        const float x = kW - 420.0f;
        out += "<g class=\"prompt\" opacity=\"" + std::string(enabled ? "1" : "0.45") + "\">\n";
        out += "<rect x=\"" + number(x) + "\" y=\"" + number(y) + "\" width=\"" + number(keyWidth) +
               "\" height=\"24\" rx=\"4\" fill=\"#f2efe6\"/>\n";
        out += label(x + keyWidth / 2.0f, y + 17.0f, 14.0f, "#1a1a1a", key, "middle");
        out += label(x + keyWidth + 10.0f, y + 17.0f, 16.0f, "#f2efe6", prompt->text);
        const int holdMs = prompt->mode == sim::PromptMode::hold           ? world.prompts.holdMs
                           : prompt->mode == sim::PromptMode::standardHold ? world.prompts.standardHoldMs
                                                                           : 0;
        if (holdMs > 0) {
            // How far the hold has come: a ring would be the game's, a bar under the key reads as well.
            const float share =
                std::clamp(static_cast<float>(prompt->heldMs) / static_cast<float>(holdMs), 0.0f, 1.0f);
            constexpr float kBar = 240.0f;
            out += "<rect x=\"" + number(x) + "\" y=\"" + number(y + 27.0f) + "\" width=\"" + number(kBar) +
                   "\" height=\"4\" fill=\"#555\"/>\n";
            out += "<rect class=\"hold\" x=\"" + number(x) + "\" y=\"" + number(y + 27.0f) + "\" width=\"" +
                   number(kBar * share) + "\" height=\"4\" fill=\"#e8c15a\"/>\n";
            out +=
                label(kW - 20.0f, y + 17.0f, 11.0f, "#c8c0a8",
                      "hold " + std::to_string(prompt->heldMs) + "/" + std::to_string(holdMs) + " ms", "end");
        }
        out += "</g>\n";
        y += 34.0f;
    }
    return out;
}

std::string drawFeed(const sim::World& world) {
    std::string out;
    if (!world.helpTexts.empty()) {
        const sim::HelpText& help = world.helpTexts.back();
        if (stillShowing(world, help.frame, help.durationMs)) {
            // Help texts run long; break them into lines of about 56 letters (not bytes: a line of
            // Cyrillic would come out half as long).
            std::string lines;
            std::string line;
            float y = 66.0f;
            std::string_view rest = help.text;
            while (!rest.empty()) {
                const std::size_t space = rest.find(' ');
                const std::string_view word = rest.substr(0, space);
                if (!line.empty() && utf8::characterCount(line) + utf8::characterCount(word) > 56) {
                    lines += label(56.0f, y, 16.0f, "#f2efe6", line);
                    y += 20.0f;
                    line.clear();
                }
                line += (line.empty() ? "" : " ") + std::string(word);
                rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
            }
            if (!line.empty()) lines += label(56.0f, y, 16.0f, "#f2efe6", line);
            out += "<rect x=\"40\" y=\"40\" width=\"520\" height=\"" + number(y - 22.0f) +
                   "\" rx=\"6\" fill=\"#000\" fill-opacity=\"0.75\"/>\n" + lines;
        }
    }
    if (!world.moneyToasts.empty()) {
        const sim::MoneyToast& toast = world.moneyToasts.back();
        if (stillShowing(world, toast.frame, toast.durationMs) || world.frame - toast.frame <= 3) {
            const bool gain = toast.colour == 0x067FA8F3u;
            out += "<rect x=\"" + number(kW - 240.0f) +
                   "\" y=\"40\" width=\"200\" height=\"44\" rx=\"6\" fill=\"#000\" "
                   "fill-opacity=\"0.75\"/>\n";
            out += label(kW - 140.0f, 70.0f, 24.0f, gain ? "#7fd37f" : "#e05050",
                         std::string(gain ? "+" : "-") + toast.amountText, "middle");
        }
    }
    return out;
}

}  // namespace

std::string renderScreen(const sim::World& world, const std::string& caption) {
    std::string out = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(kScreenWidth) +
                      "\" height=\"" + std::to_string(kScreenHeight) + "\" viewBox=\"0 0 " +
                      std::to_string(kScreenWidth) + " " + std::to_string(kScreenHeight) +
                      "\" font-family=\"sans-serif\">\n";
    // The game's picture behind the plug-in's drawing: the scene is not simulated, so a plain sky
    // over water stands in for it.
    out +=
        "<defs><linearGradient id=\"scene\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\"><stop offset=\"0\" "
        "stop-color=\"#6b7f8f\"/><stop offset=\"0.55\" stop-color=\"#8c9a8a\"/><stop offset=\"0.56\" "
        "stop-color=\"#3d5a5c\"/><stop offset=\"1\" stop-color=\"#22393b\"/></linearGradient></defs>\n";
    out += "<rect width=\"100%\" height=\"100%\" fill=\"url(#scene)\"/>\n";

    // The game lays a frame's texts over its sprites whatever order they were drawn in.
    const sim::FrameDraws& frame = world.screen.thisFrame();
    for (const sim::DrawnSprite* sprite : frame.sprites()) {
        out += drawSprite(*sprite);
    }
    for (const sim::DrawnText* text : frame.texts()) {
        out += drawText(*text);
    }
    out += drawPrompts(world);
    out += drawFeed(world);

    if (const sim::Camera* camera = world.cameras.viewing()) {
        std::string where = "scripted camera at (" + number(camera->position.x) + ", " +
                            number(camera->position.y) + ", " + number(camera->position.z) + ")";
        if (camera->pointAt) {
            where += " looking at (" + number(camera->pointAt->x) + ", " + number(camera->pointAt->y) + ", " +
                     number(camera->pointAt->z) + ")";
        }
        out += label(20.0f, kH - 16.0f, 13.0f, "#e0e0e0", where);
    }
    if (world.fade.out) {
        const float share = world.fade.durationMs <= 0
                                ? 1.0f
                                : std::clamp(static_cast<float>(world.gameTimeMs - world.fade.startedAtMs) /
                                                 static_cast<float>(world.fade.durationMs),
                                             0.0f, 1.0f);
        out +=
            "<rect width=\"100%\" height=\"100%\" fill=\"#000\" fill-opacity=\"" + number(share) + "\"/>\n";
    }
    out += label(kW - 20.0f, 24.0f, 13.0f, "#e0e0e0",
                 caption + " (frame " + std::to_string(world.frame) + ")", "end");
    return out + "</svg>\n";
}

std::string renderMap(const sim::World& world, const std::string& caption, float radius) {
    constexpr float kSize = 900.0f;
    constexpr float kCentre = kSize / 2.0f;
    const float scale = (kCentre - 30.0f) / radius;  // pixels a metre
    const sim::Vec3 centre = world.positionOf(world.player.ped);
    // North up: the world's y grows northwards, the picture's downwards.
    auto px = [&](const sim::Vec3& p) { return kCentre + (p.x - centre.x) * scale; };
    auto py = [&](const sim::Vec3& p) { return kCentre - (p.y - centre.y) * scale; };
    auto inView = [&](const sim::Vec3& p) {
        return std::fabs(p.x - centre.x) <= radius * 1.05f && std::fabs(p.y - centre.y) <= radius * 1.05f;
    };

    std::string out =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"900\" height=\"900\" viewBox=\"0 0 900 "
        "900\" font-family=\"sans-serif\">\n<rect width=\"100%\" height=\"100%\" fill=\"#d8cfae\"/>\n";
    // A grid line every 100 m, on round world coordinates.
    for (float x = std::ceil((centre.x - radius) / 100.0f) * 100.0f; x <= centre.x + radius; x += 100.0f) {
        const float at = kCentre + (x - centre.x) * scale;
        out += "<line x1=\"" + number(at) + "\" y1=\"0\" x2=\"" + number(at) +
               "\" y2=\"900\" stroke=\"#bfb494\"/>\n";
    }
    for (float y = std::ceil((centre.y - radius) / 100.0f) * 100.0f; y <= centre.y + radius; y += 100.0f) {
        const float at = kCentre - (y - centre.y) * scale;
        out += "<line x1=\"0\" y1=\"" + number(at) + "\" x2=\"900\" y2=\"" + number(at) +
               "\" stroke=\"#bfb494\"/>\n";
    }

    // Docks: their blips, named as the dock table names them.
    for (const auto& [handle, blip] : world.blips) {
        if (blip.entity != 0 || !inView(blip.point)) continue;
        std::string name = blip.name;
        if (docksRegistry != nullptr) {
            for (const auto& dock : docksRegistry->docks()) {
                const Vec3 pier = dock->pierPoint().position;
                if (std::fabs(pier.x - blip.point.x) < 1.0f && std::fabs(pier.y - blip.point.y) < 1.0f) {
                    name = std::string(dock->name()) + " (" + blip.name + ")";
                }
            }
        }
        const bool closed = blip.modifiers.contains(0x2B30E11Fu);
        out += "<rect class=\"dock\" x=\"" + number(px(blip.point) - 7.0f) + "\" y=\"" +
               number(py(blip.point) - 7.0f) + "\" width=\"14\" height=\"14\" fill=\"" +
               (closed ? "#9a9a9a" : "#2c5d8f") + "\" stroke=\"#fff\" stroke-width=\"2\"/>\n";
        out += label(px(blip.point) + 11.0f, py(blip.point) + 5.0f, 14.0f, "#1c2e40",
                     name + (closed ? ", closed" : ""));
    }

    // Boats as hulls pointing where they head, 6 m by 2 m.
    for (const sim::Entity* vehicle : world.vehicles()) {
        if (!inView(vehicle->position)) continue;
        const bool his = vehicle->decorators.contains("QY_RB_isPlayerBoat");
        const bool cargo = vehicle->decorators.contains("QY_RB_boatValue");
        const char* fill = his                                    ? "#2f6fd0"
                           : cargo                                ? "#c03a2b"
                           : world.driverOf(vehicle->handle) != 0 ? "#e08a1e"
                                                                  : "#6d6d6d";
        const std::string what = his                                    ? "his boat"
                                 : cargo                                ? "cargo boat"
                                 : world.driverOf(vehicle->handle) != 0 ? "escort boat"
                                                                        : "boat";
        const float length = std::max(6.0f * scale, 14.0f);
        const float beam = std::max(2.0f * scale, 6.0f);
        out += "<rect class=\"boat\" x=\"" + number(px(vehicle->position) - beam / 2.0f) + "\" y=\"" +
               number(py(vehicle->position) - length / 2.0f) + "\" width=\"" + number(beam) + "\" height=\"" +
               number(length) + "\" rx=\"" + number(beam / 2.0f) + "\" fill=\"" + fill +
               "\" transform=\"rotate(" + number(-vehicle->heading) + " " + number(px(vehicle->position)) +
               " " + number(py(vehicle->position)) + ")\"/>\n";
        const sim::Blip* blip = world.blipOn(vehicle->handle);
        out += label(px(vehicle->position) + 12.0f, py(vehicle->position) - 8.0f, 13.0f, fill,
                     blip != nullptr && !blip->name.empty() ? what + ": " + blip->name : what);
    }

    // People: guards and crews on the water, the player last so he stays on top.
    for (const auto& [handle, entity] : world.entities) {
        if (entity.kind != sim::EntityKind::ped || handle == world.player.ped) continue;
        const sim::Vec3 at = world.positionOf(handle);
        if (!inView(at)) continue;
        const bool fighting =
            entity.currentTask() != nullptr && entity.currentTask()->kind == sim::TaskKind::combatPed;
        out += "<circle class=\"guard\" cx=\"" +
               number(px(at) + (static_cast<float>(entity.seat) + 1.0f) * 3.0f) + "\" cy=\"" +
               number(py(at)) + "\" r=\"3.5\" fill=\"" +
               (entity.dead ? "#555"
                : fighting  ? "#ff2020"
                            : "#802020") +
               "\" stroke=\"#fff\"/>\n";
    }
    out += "<circle class=\"player\" cx=\"" + number(px(centre)) + "\" cy=\"" + number(py(centre)) +
           "\" r=\"6\" fill=\"#f5f5f5\" stroke=\"#111\" stroke-width=\"2\"/>\n";
    out += label(px(centre) + 10.0f, py(centre) + 18.0f, 13.0f, "#111", "you");

    // Scale bar and north.
    out += "<rect x=\"30\" y=\"858\" width=\"" + number(100.0f * scale) + "\" height=\"6\" fill=\"#222\"/>\n";
    out += label(30.0f, 850.0f, 13.0f, "#222", "100 m");
    out += label(870.0f, 40.0f, 18.0f, "#222", "N", "middle");
    out += "<path d=\"M870 46 L864 62 L876 62 Z\" fill=\"#222\"/>\n";
    out += label(20.0f, 24.0f, 14.0f, "#222",
                 caption + " (frame " + std::to_string(world.frame) + ", centred on (" + number(centre.x) +
                     ", " + number(centre.y) + "))");
    return out + "</svg>\n";
}

}  // namespace tollmere::pictures
