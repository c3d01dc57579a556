#include "Host.h"
#include "natives/Registration.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace sim {

namespace {

std::string cashText(std::int32_t cents) {
    const std::int64_t magnitude = std::llabs(static_cast<std::int64_t>(cents));
    const std::int64_t fraction = magnitude % 100;
    return std::string(cents < 0 ? "-$" : "$") + std::to_string(magnitude / 100) + (fraction < 10 ? ".0" : ".") +
           std::to_string(fraction);
}

// The game reads its feed records field by field at fixed offsets; bytes it does not read must be
// zero, so a field written at the wrong offset shows up here.
template <typename T>
T fieldAt(const unsigned char* record, std::size_t offset) {
    T value;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

void requireZero(const Call& call, const unsigned char* record, std::size_t offset, std::size_t size,
                 const char* what) {
    for (std::size_t i = 0; i < size; ++i) {
        if (record[offset + i] != 0) {
            call.fail(std::string(what) + ": byte " + std::to_string(offset + i) + " must be zero");
        }
    }
}

// Both feed natives take a duration record and a content record by address: the duration's first
// field is read, the rest of it must be zero, and so must the content record's first slot.
struct FeedRecords {
    const unsigned char* duration;
    const unsigned char* record;
};

FeedRecords feedRecords(const Call& call, std::size_t durationSize, const char* what) {
    const auto* duration = call.ptr<const unsigned char>(0);
    const auto* record = call.ptr<const unsigned char>(1);
    if (duration == nullptr || record == nullptr) call.fail("needs the addresses of both records");
    requireZero(call, duration, 4, durationSize - 4, (std::string(what) + " duration record").c_str());
    requireZero(call, record, 0, 8, (std::string(what) + " record").c_str());
    return {duration, record};
}

// The game draws its texts as UTF-8: a character cut in half or a byte of another encoding comes out
// as a box on screen, so a text that is not whole UTF-8 is refused where it enters.
void requireUtf8(const Call& call, const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80   ? 1
                                   : lead < 0xC2 ? 0
                                   : lead < 0xE0 ? 2
                                   : lead < 0xF0 ? 3
                                   : lead < 0xF5 ? 4
                                                 : 0;
        bool whole = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; whole && k < length; ++k)
            whole = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (!whole)
            call.fail("a text that is not UTF-8 (byte " + std::to_string(i) + " of \"" + text + "\")");
        i += length;
    }
}

std::string textAt(const Call& call, const World& world, std::uint64_t handle) {
    const Text* text = world.text(handle);
    if (text == nullptr) call.fail("a game text handle that createVarString never made");
    return text->text;
}

}  // namespace

void registerTextNatives(Host& host) {
    World& world = host.world();

    host.registerNative("createVarString", 0xFA925AC00EB830B9, {3, 4}, [&world](Call& call) {
        const std::int32_t kind = call.i32(0);
        const std::string format = call.str(1);
        if (format == "LITERAL_STRING" && kind == 10 && call.count() == 3) {
            requireUtf8(call, call.str(2));
            call.returns64(world.makeText(Text{Text::Kind::literal, call.str(2), 0}));
        } else if (format == "COLOR_STRING" && kind == 42 && call.count() == 4) {
            call.only(2, 0, "the colour text's third word");
            const Text* inner = world.text(call.raw(3));
            if (inner == nullptr) call.fail("COLOR_STRING of a text handle that createVarString never made");
            call.returns64(world.makeText(Text{Text::Kind::colour, inner->text, 0}));
        } else if (format == "CASH_STRING" && kind == 2 && call.count() == 3) {
            const std::int32_t cents = call.i32(2);
            call.returns64(world.makeText(Text{Text::Kind::cash, cashText(cents), cents}));
        } else {
            call.fail("unknown form (" + std::to_string(kind) + ", \"" + format + "\") with " +
                      std::to_string(call.count()) + " arguments");
        }
    });

    host.registerNative("setNoticeText", 0xFA233F8FE190514C, {1},
                        [&world](Call& call) { world.stagedNotice = textAt(call, world, call.raw(0)); });
    host.registerNative("showNoticeText", 0xE9990552DEC71600, {0},
                        [&world](Call&) { world.notices.push_back(world.stagedNotice); });
    host.registerNative("clearNoticeText", 0xDFF0D417277B41F8, {0}, [&world](Call&) { world.stagedNotice.clear(); });

    host.registerNative("postHelpText", 0x049D5C615BD38BAD, {3}, [&world](Call& call) {
        const auto [duration, record] = feedRecords(call, 16, "help text");
        call.only(2, 1, "the post's last word");
        world.helpTexts.push_back(HelpText{world.frame, textAt(call, world, fieldAt<std::uint64_t>(record, 8)),
                                           fieldAt<std::int32_t>(duration, 0)});
    });

    host.registerNative("postMoneyToast", 0xB249EBCB30DD88E0, {3}, [&world](Call& call) {
        const auto [duration, record] = feedRecords(call, 32, "money toast");
        call.only(2, 1, "the post's last word");
        requireZero(call, record, 28, 12, "money toast record");
        requireZero(call, record, 44, 20, "money toast record");
        const std::uint64_t amount = fieldAt<std::uint64_t>(record, 8);
        if (fieldAt<std::uint64_t>(record, 64) != amount) call.fail("the amount at offsets 8 and 64 differs");
        const Text* text = world.text(amount);
        if (text == nullptr || text->kind != Text::Kind::cash) call.fail("the amount must be a CASH_STRING text");
        const auto* dictionary = fieldAt<const char*>(record, 16);
        world.moneyToasts.push_back(MoneyToast{world.frame, text->cents, text->text,
                                               dictionary != nullptr ? dictionary : "",
                                               fieldAt<std::uint32_t>(record, 24),
                                               fieldAt<std::uint32_t>(record, 40),
                                               fieldAt<std::int32_t>(duration, 0)});
    });
}

}  // namespace sim
