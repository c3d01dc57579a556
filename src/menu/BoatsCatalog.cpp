#include "menu/BoatsCatalog.h"

#include "boat/PlayerBoatManager.h"
#include "data/DataFiles.h"
#include "data/DataKeys.h"
#include "data/TextFormat.h"
#include "host/BoatTypes.h"
#include "host/GameHelpers.h"
#include "host/Natives.h"
#include "host/ScreenText.h"
#include "menu/MenuStatsComponent.h"
#include "runtime/Globals.h"
#include "runtime/Log.h"

#include <algorithm>
#include <limits>
#include <string>

namespace tollmere {

namespace {

constexpr Hash kSelectControl = 0xC7B5340A;
constexpr float kInnerMargin = 0.005f;
constexpr float kVerticalMargin = 0.005f;
constexpr float kHorizontalMargin = 0.0f;
constexpr float kFontScale = 0.34f;
constexpr float kMinRepairShare = 0.4f;

const CatalogLayout kLayout{};

// Negative when the service has no price: its row is then dimmed and never sold.
float fee(const char* key) { return configPrice(key); }

void divider(float y) {
    drawSprite("menu_textures", "divider_line", kLayout.contentLeft, y, kLayout.contentWidth, 0.0015f, 0.0f, 229, 229,
               229, 255);
}

// Only ever takes money: a row without a price cannot be bought, and a price is never below 0.
void charge(float dollars) { changePlayerMoney(-std::max(dollars, 0.0f), true); }

std::int32_t wholeDollars(double dollars) {
    constexpr double kMost = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(dollars, 0.0, kMost));
}

PlayerBoatManager& boats() { return *playerBoatManager; }

// The repair is charged in whole dollars, a share of the fee by the damage, at least 40 %: its row
// never shows the fee's cents, which no repair charges.
float repairPrice(double share) {
    const float full = fee(keys::feesFixBoat);
    // Truncated in double precision: through a float, fee 100 at 30 % health came out as $70.
    return full < 0.0f ? full : static_cast<float>(wholeDollars(full * share));
}

std::vector<std::unique_ptr<ShopMenuInput>> makePurchaseRows(MenuInput::SelectCallback purchase) {
    std::vector<std::unique_ptr<ShopMenuInput>> rows;
    for (const BoatType* type : allBoatTypes()) {
        rows.push_back(std::make_unique<ShopMenuInput>(
            type->model, fee(keys::boatKey(keys::feesBoatPrefix, type->model).c_str()),
            LangData->getString(keys::boatKey(keys::boatTypesPrefix, type->model).c_str()),
            kLayout.contentLeft, kLayout.rowsTop, kLayout.contentWidth, kLayout.rowHeight, purchase, nullptr,
            kInnerMargin, kVerticalMargin, kHorizontalMargin, kFontScale));
    }
    return rows;
}

std::vector<MenuInput*> pointersTo(const std::vector<std::unique_ptr<ShopMenuInput>>& rows) {
    std::vector<MenuInput*> pointers;
    pointers.reserve(rows.size());
    for (const auto& row : rows) pointers.push_back(row.get());
    return pointers;
}

}  // namespace

const CatalogLayout& BoatsCatalog::layout() { return kLayout; }

BoatsCatalog::BoatsCatalog(PlayerBoatManager& boatManager)
    : boats_(boatManager),
      hudContext_(hashOf("HUD_CTX_IN_CATALOGUE_SHOP_MENU")),
      buyPrompt_(LangData->getString(keys::promptsBuy), kSelectControl, PromptMode::press),
      purchaseRows_(makePurchaseRows(purchase)),
      purchaseMenu_(pointersTo(purchaseRows_)),
      repairRow_(1, repairPrice(1.0), LangData->getString(keys::catalogInputFixBoat),
                 kLayout.contentLeft, kLayout.rowsTop, kLayout.contentWidth, kLayout.rowHeight, repair,
                 nullptr, kInnerMargin, kVerticalMargin, kHorizontalMargin, kFontScale),
      cleanRow_(2, fee(keys::feesCleanBoat), LangData->getString(keys::catalogInputCleanBoat),
                kLayout.contentLeft, kLayout.rowsTop, kLayout.contentWidth, kLayout.rowHeight, clean, nullptr,
                kInnerMargin, kVerticalMargin, kHorizontalMargin, kFontScale),
      tintRow_(3, fee(keys::feesTint), LangData->getString(keys::catalogInputTint), 0, kLayout.contentLeft,
               kLayout.rowsTop, kLayout.contentWidth, kLayout.rowHeight, buyTint, previewTint, false,
               kInnerMargin, kVerticalMargin, kHorizontalMargin, kFontScale),
      propsetRow_(4, fee(keys::feesPropset), LangData->getString(keys::catalogInputPropset), 0,
                  kLayout.contentLeft, kLayout.rowsTop, kLayout.contentWidth, kLayout.rowHeight, buyPropset,
                  previewPropset, true, kInnerMargin, kVerticalMargin, kHorizontalMargin, kFontScale),
      lanternRow_(5, fee(keys::feesLanternPropset), LangData->getString(keys::catalogInputLanternPropset), 0,
                  kLayout.contentLeft, kLayout.rowsTop, kLayout.contentWidth, kLayout.rowHeight,
                  buyLanternPropset, previewLanternPropset, true, kInnerMargin, kVerticalMargin,
                  kHorizontalMargin, kFontScale) {
    buyPrompt_.hide();
    cleanRow_.setDisabled(true);
    propsetRow_.setDescription(LangData->getString(keys::catalogInputPropsetDescription));
    for (MenuInput* row : std::initializer_list<MenuInput*>{&repairRow_, &cleanRow_, &tintRow_, &propsetRow_,
                                                            &lanternRow_}) {
        customizeMenu_.addRow(row);
    }
}

void BoatsCatalog::setCustomizeMode(bool customize) {
    customizeMode_ = customize;
    currentMenu_ = customize ? &customizeMenu_ : &purchaseMenu_;
    // Entering customisation sets the option rows up from the record again: the boat may be
    // another model than the last time, with other options, and unbought previews were undone.
    if (customize) optionRowsReady_ = false;
    // What the player could not pay for the last time may be within his means now.
    for (const auto& row : purchaseRows_) row->checkAffordable();
    for (ShopMenuInput* row : std::initializer_list<ShopMenuInput*>{&repairRow_, &cleanRow_, &tintRow_, &propsetRow_,
                                                                    &lanternRow_}) {
        row->checkAffordable();
    }
    currentMenu_->selectFirstEnabled();
}

void BoatsCatalog::open() {
    // Control and the HUD context are taken in the turn that found the screen free: the models load
    // over frames, and one of the game's menus may open meanwhile.
    native::setPlayerControl(native::getPlayerId(), false, 0, 0);
    native::addHudContext(hudContext_);
    if (!isOpen_) {
        writeLog("opening boat menu");
        for (const BoatType* type : allBoatTypes()) loadModel(static_cast<Hash>(type->model), kModelLoadTimeoutMs);
    }
    buyPrompt_.show();
    isOpen_ = true;
}

void BoatsCatalog::close(bool giveControlBack) {
    // Only what open took is given back: handing control back on every frame would free the
    // player in the middle of the game's own cutscenes.
    if (!isOpen_) return;
    writeLog("closing boats menu");
    buyPrompt_.hide();
    if (giveControlBack) native::setPlayerControl(native::getPlayerId(), true, 0, 0);
    native::removeHudContext(hudContext_);
    isOpen_ = false;
}

void BoatsCatalog::update() {
    if (!isOpen_) return;
    const CatalogLayout& l = kLayout;
    drawSprite("generic_textures", "inkroller_1a", l.panelLeft, l.panelTop, l.panelWidth, l.panelHeight, 0.0f, 4, 4, 4,
               210);
    drawSprite("generic_textures", "menu_header_1a", l.contentLeft, l.headerTop, l.contentWidth, l.headerHeight, 0.0f,
               229, 229, 229, 255);
    const float centre = l.contentLeft + l.contentWidth * 0.5f;
    drawText(LangData->getString(keys::catalogTitle), centre, l.headerTop + l.headerHeight * 0.25f, 229, 229,
             229, 255, true, 0.7f, 0.7f, "$title");
    drawText(
        LangData->getString(customizeMode_ ? keys::catalogSubtitleCustomize : keys::catalogSubtitlePurchase),
        centre, l.subtitleY, 229, 229, 229, 255, true, 0.34f, 0.34f, "$title");
    divider(l.firstDividerY);

    float rowsBottom = l.rowsTop;
    if (currentMenu_ != nullptr) {
        currentMenu_->setTop(l.rowsTop);
        // The rows are set up for this boat before any input is read, in every frame and so in the
        // first: a press would otherwise act on the rows of the last visit.
        if (customizeMode_) refreshCustomizeRows();
        currentMenu_->update();
        // Rows held back for want of cash come back as soon as he has it; with none selected
        // until then, the first one he can buy is selected.
        if (currentMenu_->getSelectedRow() == nullptr) currentMenu_->selectFirstEnabled();
        if (!customizeMode_) {
            // The preview boat follows the selection, swapped only when it changes.
            const MenuInput* row = currentMenu_->getSelectedRow();
            const BoatType* shown = boats_.getOwnedBoatType();
            if (row != nullptr && (shown == nullptr || row->id() != shown->model)) {
                // A new model starts with a fresh record, dock id included; the preview still
                // floats at this dock, and a purchase must save it moored here, or the bought
                // boat would not come back at the next game start.
                const std::int32_t dockId = boats_.getDockId();
                boats_.setBoatModel(row->id());
                if (dockId > 0) boats_.setDockId(dockId);
                native::setBoatAnchor(boats_.getBoatEntity(), true);
            }
        }
        rowsBottom += currentMenu_->totalHeight();
    }
    divider(rowsBottom + 0.001f);

    const MenuInput* selected = currentMenu_ != nullptr ? currentMenu_->getSelectedRow() : nullptr;
    if (selected != nullptr && selected->description() != nullptr) {
        drawText(selected->description(), l.contentLeft, l.descriptionY, 229, 229, 229, 255, false, 0.34f, 0.34f,
                 "$body");
    }
    drawStats();
    divider(l.lastDividerY);
}

void BoatsCatalog::refreshCustomizeRows() {
    MenuInput* optionRows[] = {&cleanRow_, &tintRow_, &propsetRow_, &lanternRow_};
    if (boats_.needsRepair()) {
        // A damaged boat is repaired before anything else: the repair is the only row on offer,
        // priced by the damage, at least 40 % of the full fee.
        repairRow_.setDisabled(false);
        repairRow_.setSelected(true);
        repairRow_.setPrice(
            repairPrice(std::max(1.0 - static_cast<double>(boats_.getBoatHealth()), double{kMinRepairShare})));
        for (MenuInput* row : optionRows) row->setDisabled(true);
        optionRowsReady_ = false;
        return;
    }
    repairRow_.setDisabled(true);
    if (optionRowsReady_) return;

    for (MenuInput* row : optionRows) row->setDisabled(false);
    currentMenu_->selectFirstEnabled();
    // A record without a known boat type offers no options rather than reading through nothing.
    const BoatType* type = boats_.getOwnedBoatType();
    const std::int32_t tints = type != nullptr ? type->tintCount : 0;
    const auto propsets = static_cast<std::int32_t>(type != nullptr ? type->propSets.size() : 0);
    const auto lanterns = static_cast<std::int32_t>(type != nullptr ? type->lanternPropSets.size() : 0);
    // A value v stands for option v - 1; 0 on the prop-set rows means none. Setting the values
    // runs the previews, which puts the saved options back on the boat.
    tintRow_.setMaxValue(tints);
    tintRow_.setValue(boats_.getTint() + 1);
    tintRow_.setAppliedValue(boats_.getTint() + 1);
    propsetRow_.setMaxValue(propsets);
    propsetRow_.setValue(boats_.getPropsetIndex() + 1);
    propsetRow_.setAppliedValue(boats_.getPropsetIndex() + 1);
    lanternRow_.setMaxValue(lanterns);
    lanternRow_.setValue(boats_.getLanternPropsetIndex() + 1);
    lanternRow_.setAppliedValue(boats_.getLanternPropsetIndex() + 1);
    optionRowsReady_ = true;
}

void BoatsCatalog::drawStats() const {
    const CatalogLayout& l = kLayout;
    drawSprite("menu_textures", "divider_line", l.contentLeft, l.statsTop - l.margin * 0.5f, l.contentWidth, 0.0015f,
               0.0f, 229, 229, 229, 255);
    auto stat = [](float y, const char* labelKey, std::int32_t filled, std::int32_t half, std::int32_t total) {
        MenuStatsComponent(kLayout.statsLeft, y, kLayout.statsWidth, 0.03f, LangData->getString(labelKey), "generic_textures",
                           "star", "star_outline", 0.012f, 0.02f, filled, half, total)
            .draw();
    };
    const float healthY = l.statsTop + 0.0015f;
    if (boats_.needsRepair()) {
        stat(healthY, keys::boatStatsHealth, toInt32Clamped(boats_.getBoatHealth() * 5.0f),
             toInt32Clamped(boats_.getHealthStat() * 5.0f), 5);
    } else {
        stat(healthY, keys::boatStatsHealth, toInt32Clamped(boats_.getHealthStat() * 5.0f),
             toInt32Clamped(boats_.getUpgradedHealthStat() * 5.0f), 5);
    }
    // Without a known boat type there is no speed rating to show.
    const BoatType* type = boats_.getOwnedBoatType();
    const std::int32_t speed = type != nullptr ? type->speedRating : 0;
    stat(healthY + 0.03f, keys::boatStatsSpeed, speed, speed, 5);
    const std::int32_t passengers = native::getVehiclePassengerCapacity(boats_.getBoatEntity());
    stat(healthY + 0.06f, keys::boatStatsPassengers, passengers, passengers, passengers);
}

void BoatsCatalog::purchase(MenuInput& row) {
    writeLog("boat purchased. model: " + formatInt(row.id()));
    // The previewed model is already in the record; the purchase writes it to disk.
    boats().saveBoatState();
    charge(static_cast<ShopMenuInput&>(row).getPrice());
    boatsCatalog->setCustomizeMode(true);
}

void BoatsCatalog::saveWithOnlyPaidOptions() {
    // Another option row may be previewing an option the player has not bought, and a purchase of
    // one option saved the previews of the others with it. The paid options go into the record
    // for the save, and the previews come back on the boat after it.
    if (!optionRowsReady_) return boats_.saveBoatState();
    boats_.setTint(tintRow_.appliedValue() - 1);
    boats_.setPropset(propsetRow_.appliedValue() - 1);
    boats_.setLanternPropset(lanternRow_.appliedValue() - 1);
    boats_.saveBoatState();
    boats_.setTint(tintRow_.getValue() - 1);
    boats_.setPropset(propsetRow_.getValue() - 1);
    boats_.setLanternPropset(lanternRow_.getValue() - 1);
}

void BoatsCatalog::repair(MenuInput& row) {
    boats().repairBoat();
    writeLog("boat repaired");
    boatsCatalog->saveWithOnlyPaidOptions();
    charge(static_cast<ShopMenuInput&>(row).getPrice());
}

void BoatsCatalog::clean(MenuInput& row) {
    writeLog("boat cleaned");
    boats().cleanBoat();
    charge(static_cast<ShopMenuInput&>(row).getPrice());
}

void BoatsCatalog::buyTint(MenuInput& row) {
    const std::int32_t tint = row.getValue() - 1;
    boats().setTint(tint);
    boats().cleanBoat();
    writeLog("boat repainted. selected tint: " + formatInt(tint));
    row.setAppliedValue(row.getValue());
    boatsCatalog->saveWithOnlyPaidOptions();
    charge(fee(keys::feesTint));
}

void BoatsCatalog::buyPropset(MenuInput& row) {
    const std::int32_t index = row.getValue() - 1;
    boats().setPropset(index);
    writeLog("propset purchased. index: " + formatInt(index));
    row.setAppliedValue(row.getValue());
    boatsCatalog->saveWithOnlyPaidOptions();
    // Taking the prop set off is free.
    if (index >= 0) charge(fee(keys::feesPropset));
}

void BoatsCatalog::buyLanternPropset(MenuInput& row) {
    const std::int32_t index = row.getValue() - 1;
    boats().setLanternPropset(index);
    writeLog("lantern propset purchased. index: " + formatInt(index));
    row.setAppliedValue(row.getValue());
    boatsCatalog->saveWithOnlyPaidOptions();
    if (index >= 0) charge(fee(keys::feesLanternPropset));
}

void BoatsCatalog::previewTint(MenuInput& row, std::int32_t) { boats().setTint(row.getValue() - 1); }

void BoatsCatalog::previewPropset(MenuInput& row, std::int32_t) { boats().setPropset(row.getValue() - 1); }

void BoatsCatalog::previewLanternPropset(MenuInput& row, std::int32_t) {
    boats().setLanternPropset(row.getValue() - 1);
}

}  // namespace tollmere
