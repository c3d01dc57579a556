#pragma once
// The shop the dock menu opens: a panel on the left of the screen over the scripted camera's view
// of the boat. In purchase mode its rows are the boat types for sale and moving the selection
// swaps the preview boat; in customise mode they repair, clean, repaint and fit prop sets on the
// owned boat, each previewed as the player cycles and charged when bought.

#include "host/Prompt.h"
#include "host/Types.h"
#include "menu/CyclableShopInput.h"
#include "menu/MenuList.h"
#include "menu/ShopMenuInput.h"

#include <memory>
#include <vector>

namespace tollmere {

class PlayerBoatManager;

// The panel's geometry, derived once from its base values in 32-bit floats.
struct CatalogLayout {
    float panelWidth = 0.22f;
    float panelHeight = 0.9f;
    float panelLeft = 0.025f;
    float margin = 0.012f;
    float textScale = 0.34f;
    float headerHeight = 0.08f;
    float subtitleBand = 0.03f;
    float rowHeight = 0.05f;
    float statRowHeight = 0.03f;
    float statsGap = 0.002f;
    float descriptionBand = 0.03f;

    float panelTop = (1.0f - panelHeight) * 0.5f;
    float inset = 2.0f * margin;
    float contentLeft = panelLeft + inset;
    float contentWidth = panelWidth - 2.0f * inset;
    float headerTop = inset + panelTop;
    float subtitleY = headerHeight + headerTop + margin;
    float firstDividerY = subtitleBand + subtitleY + margin;
    float rowsTop = firstDividerY + 0.001f;
    float statsBlockHeight = 3.0f * statRowHeight;
    float statsTop = panelHeight - statsBlockHeight - statsGap - 2.0f * margin;
    float descriptionY = statsTop - descriptionBand - margin;
    float statsLeft = margin * 0.5f + contentLeft;
    float statsWidth = contentWidth - margin;
    float lastDividerY = statsBlockHeight + statsTop + margin * 0.5f + statsGap;
};

class BoatsCatalog {
public:
    explicit BoatsCatalog(PlayerBoatManager& boats);
    BoatsCatalog(const BoatsCatalog&) = delete;
    BoatsCatalog& operator=(const BoatsCatalog&) = delete;

    // Customise the owned boat (true) or buy one (false).
    void setCustomizeMode(bool customize);
    // Each first opening loads every boat model (up to 3 s each, yielding to the host); every
    // call takes the player's controls away and keeps the shop's HUD context.
    void open();
    // Gives the controls and the HUD context back when the shop is open; nothing otherwise. The
    // controls stay off when giveControlBack is false: another script may have taken them since.
    void close(bool giveControlBack = true);
    // Draws and runs the shop while it is open, else nothing.
    void update();

    bool isOpen() const { return isOpen_; }
    bool isCustomizeMode() const { return customizeMode_; }
    static const CatalogLayout& layout();

private:
    void refreshCustomizeRows();
    void drawStats() const;

    static void purchase(MenuInput& row);
    void saveWithOnlyPaidOptions();
    static void repair(MenuInput& row);
    static void clean(MenuInput& row);
    static void buyTint(MenuInput& row);
    static void buyPropset(MenuInput& row);
    static void buyLanternPropset(MenuInput& row);
    static void previewTint(MenuInput& row, std::int32_t previousValue);
    static void previewPropset(MenuInput& row, std::int32_t previousValue);
    static void previewLanternPropset(MenuInput& row, std::int32_t previousValue);

    PlayerBoatManager& boats_;
    bool isOpen_ = false;
    bool customizeMode_ = false;
    Hash hudContext_;
    Prompt buyPrompt_;
    std::vector<std::unique_ptr<ShopMenuInput>> purchaseRows_;
    MenuList purchaseMenu_;
    ShopMenuInput repairRow_;
    ShopMenuInput cleanRow_;
    CyclableShopInput tintRow_;
    CyclableShopInput propsetRow_;
    CyclableShopInput lanternRow_;
    MenuList customizeMenu_;
    MenuList* currentMenu_ = nullptr;
    // Rows 1 to 4 are set up from the record on the first customise frame, and again after the
    // repair row took them away.
    bool optionRowsReady_ = false;
};

}  // namespace tollmere
