#include "host/ScreenText.h"

#include "host/FeedRecords.h"
#include "host/GameHelpers.h"
#include "host/Natives.h"

#include <cstring>
#include <limits>

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

}  // namespace

void showMoneyChange(std::int32_t cents, std::int32_t durationMs) {
    Hash colour = kMoneyColourDefault;
    if (cents < 0) {
        colour = hashOf("COLOR_RED");
        // The smallest 32-bit amount has no positive twin; show the largest instead.
        cents = cents == std::numeric_limits<std::int32_t>::min() ? std::numeric_limits<std::int32_t>::max() : -cents;
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
    const std::size_t length = strnlen(text, kHelpTextCapacity - 1);
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
