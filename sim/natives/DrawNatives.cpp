#include "Host.h"
#include "natives/Registration.h"

#include <string>
#include <utility>

namespace sim {

namespace {

constexpr std::uint64_t kCreateVarString = 0xFA925AC00EB830B9;

// The createVarString call that made a text handle, latest first: the draw follows it closely. The
// game keeps only the address of a literal text and reads it again when it renders, so the screen
// needs that address as well as the text.
const CallRecord* madeBy(const Host& host, std::uint64_t handle) {
    const auto& calls = host.calls();
    for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
        if (it->hash == kCreateVarString && it->result[0] == handle) return &*it;
    }
    return nullptr;
}

Rgba colourAt(const Call& call, int first) {
    return Rgba{call.i32(first), call.i32(first + 1), call.i32(first + 2), call.i32(first + 3)};
}

}  // namespace

void registerDrawNatives(Host& host) {
    World& world = host.world();
    Screen& screen = world.screen;

    host.registerNative("setTextColor", 0x16FA5CE47F184F1E, {4},
                        [&screen](Call& call) { screen.style.colour = colourAt(call, 0); });
    host.registerNative("setTextScale", 0xA1253A3C870B6843, {2}, [&screen](Call& call) {
        screen.style.scaleX = call.f32(0);
        screen.style.scaleY = call.f32(1);
    });
    host.registerNative("setTextCentre", 0xBE5261939FBECB8C, {1},
                        [&screen](Call& call) { screen.style.centred = call.flag(0); });

    // Shows a COLOR_STRING of a LITERAL_STRING holding the font markup, with the text state set
    // before it; the state then goes back to the game's defaults.
    host.registerNative("displayText", 0x16794E044C9EFB58, {3}, [&host, &world, &screen](Call& call) {
        const std::uint64_t handle = call.raw(0);
        const Text* shown = world.text(handle);
        if (shown == nullptr) call.fail("a game text handle that createVarString never made");
        if (shown->kind != Text::Kind::colour) call.fail("the text must be a COLOR_STRING");
        const CallRecord* colourMade = madeBy(host, handle);
        const Text* inner = colourMade != nullptr ? world.text(colourMade->args.at(3)) : nullptr;
        const CallRecord* literalMade = inner != nullptr ? madeBy(host, colourMade->args.at(3)) : nullptr;
        if (literalMade == nullptr || inner->kind != Text::Kind::literal) {
            call.fail("the COLOR_STRING must wrap a LITERAL_STRING");
        }
        DrawnText drawn;
        if (!parseFontMarkup(inner->text, drawn.text, drawn.font)) {
            call.fail("the text must read <FONT FACE='font' COLOR='#ffffff'>text</FONT>, not \"" +
                      inner->text + "\"");
        }
        drawn.x = call.f32(1);
        drawn.y = call.f32(2);
        drawn.scaleX = screen.style.scaleX;
        drawn.scaleY = screen.style.scaleY;
        drawn.colour = screen.style.colour;
        drawn.centred = screen.style.centred;
        screen.style = TextStyle{};
        screen.addText(std::move(drawn), reinterpret_cast<const char*>(literalMade->args.at(2)));
    });

    // The game draws nothing from a dictionary that is not loaded. One on its way (requested, its
    // frames not yet passed) is the plug-in's normal first frame; one never asked for is a sprite
    // that never shows.
    host.registerNative("drawTextureRect", 0xC9884ECADE94CB34, {12}, [&world, &screen](Call& call) {
        call.only(11, 1, "the draw's last flag");
        if (auto dict = world.textureDicts.find(call.str(0));
            dict == world.textureDicts.end() ||
            (!dict->second.resident && dict->second.requestedAtFrame < 0)) {
            call.fail("frame " + std::to_string(world.frame) + ": sprite \"" + call.str(1) +
                      "\" from texture dictionary \"" + call.str(0) + "\", which was never requested");
        }
        DrawnSprite sprite{.dictionary = call.str(0),
                           .texture = call.str(1),
                           .centreX = call.f32(2),
                           .centreY = call.f32(3),
                           .width = call.f32(4),
                           .height = call.f32(5),
                           .rotation = call.f32(6),
                           .colour = colourAt(call, 7),
                           .resident = world.textureDictResident(call.str(0))};
        screen.addSprite(std::move(sprite));
    });

    host.registerNative("stopNamedSound", 0x0F2A2175734926D8, {2}, [&world, &screen](Call& call) {
        screen.sounds.push_back(Sound{Sound::Action::stop, call.str(0), call.str(1), world.frame});
    });
    host.registerNative("playFrontendSound", 0x67C540AA08E4A6F5, {4}, [&world, &screen](Call& call) {
        call.only(2, 1, "the sound's flag");
        call.only(3, 0, "the sound's last word");
        screen.sounds.push_back(Sound{Sound::Action::play, call.str(0), call.str(1), world.frame});
    });
}

}  // namespace sim
