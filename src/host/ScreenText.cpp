#include "host/ScreenText.h"

#include "host/FeedRecords.h"
#include "host/GameHelpers.h"
#include "host/Natives.h"
#include "runtime/Utf8.h"

#include <cstring>
#include <deque>
#include <limits>
#include <string>
#include <string_view>

namespace tollmere {

namespace {

constexpr std::size_t kHelpTextCapacity = 500;
constexpr Hash kMoneyColourDefault = 0x067FA8F3;
constexpr Hash kMoneyTexture = 0x6D31416E;

// The game reads these by address while posting; they are rewritten before each post.
HelpTextDuration helpDuration;
HelpTextRecord helpRecord;
MoneyToastDuration moneyDuration;
MoneyToastRecord moneyRecord;

char pendingHelpText[kHelpTextCapacity] = {};
std::int32_t pendingHelpDurationMs = 0;

// The game keeps only the address of a drawn text and reads it when it renders the frame, after the
// script has yielded, so each composed text must outlive its frame. Keeping a fresh copy per draw
// would grow memory every frame a menu is open; instead the buffers are handed out again once the
// frame is over, and assigning into one reuses its capacity. A deque, because growing it never
// moves the buffers already handed to the game this frame.
std::deque<std::string> drawnTexts;
std::size_t drawnTextsInUse = 0;

std::string& nextDrawnText() {
    if (drawnTextsInUse == drawnTexts.size()) drawnTexts.emplace_back();
    return drawnTexts[drawnTextsInUse++];
}

}  // namespace

void drawText(const char* text, float x, float y, int r, int g, int b, int a, bool centred, float scaleX,
              float scaleY, const char* font) {
    native::setTextColor(r, g, b, a);
    native::setTextScale(scaleX, scaleY);
    native::setTextCentre(centred);
    std::string& markup = nextDrawnText();
    markup.assign("<FONT FACE='");
    markup += font;
    markup += "' COLOR='#ffffff'>";
    markup += text;
    markup += "</FONT>";
    const TextHandle literal = native::createVarString(10, "LITERAL_STRING", markup.c_str());
    const TextHandle coloured = native::createVarString(42, "COLOR_STRING", 0, literal);
    native::displayText(coloured, x, y);
}

void drawSprite(const char* dictionary, const char* texture, float x, float y, float width, float height,
                float rotation, int r, int g, int b, int a) {
    if (!native::hasTextureDictLoaded(dictionary)) native::requestTextureDict(dictionary, false);
    // The game places a sprite by its centre.
    native::drawTextureRect(dictionary, texture, x + width * 0.5f, y + height * 0.5f, width, height, rotation,
                            r, g, b, a, true);
}

void playMenuSound(const char* soundSet, const char* soundName) {
    native::stopNamedSound(soundName, soundSet);
    native::playFrontendSound(soundName, soundSet, true, 0);
}

void releaseDrawnTexts() {
    drawnTextsInUse = 0;
}

void showMoneyChange(std::int32_t cents, std::int32_t durationMs) {
    Hash colour = kMoneyColourDefault;
    if (cents < 0) {
        colour = hashOf("COLOR_RED");
        // The smallest 32-bit amount has no positive twin; show the largest instead.
        cents = cents == std::numeric_limits<std::int32_t>::min() ? std::numeric_limits<std::int32_t>::max()
                                                                  : -cents;
    }
    moneyDuration = MoneyToastDuration{};
    moneyDuration.milliseconds = durationMs;
    const TextHandle amount = native::createVarString(2, "CASH_STRING", cents);
    moneyRecord = MoneyToastRecord{};
    moneyRecord.amount = amount;
    moneyRecord.textureDictionary = "ITEMTYPE_TEXTURES";
    moneyRecord.texture = kMoneyTexture;
    moneyRecord.colour = colour;
    moneyRecord.amountAgain = amount;
    native::postMoneyToast(&moneyDuration, &moneyRecord, true);
}

void showHelpText(const char* text, std::int32_t durationMs) {
    // One byte more than is kept is looked at, to see whether the last kept byte ends a character.
    const std::size_t length =
        utf8::cutLength(std::string_view(text, strnlen(text, kHelpTextCapacity)), kHelpTextCapacity - 1);
    std::memcpy(pendingHelpText, text, length);
    pendingHelpText[length] = '\0';
    pendingHelpDurationMs = durationMs;
}

void postPendingHelpText() {
    if (pendingHelpText[0] == '\0') return;
    helpDuration = HelpTextDuration{};
    helpDuration.milliseconds = pendingHelpDurationMs;
    helpRecord = HelpTextRecord{};
    helpRecord.text = native::createVarString(10, "LITERAL_STRING", pendingHelpText);
    native::postHelpText(&helpDuration, &helpRecord, true);
    pendingHelpText[0] = '\0';
}

}  // namespace tollmere
