#include "Screen.h"

#include "Host.h"

#include <cstring>
#include <string>
#include <utility>

namespace sim {

namespace {

constexpr std::string_view kFontOpen = "<FONT FACE='";
constexpr std::string_view kFontClose = "' COLOR='#ffffff'>";
constexpr std::string_view kEnd = "</FONT>";

std::string fontMarkup(const DrawnText& text) {
    return std::string(kFontOpen) + text.font + std::string(kFontClose) + text.text + std::string(kEnd);
}

}  // namespace

bool parseFontMarkup(std::string_view markup, std::string& text, std::string& font) {
    if (!markup.starts_with(kFontOpen) || !markup.ends_with(kEnd)) return false;
    const std::size_t fontEnd = markup.find(kFontClose, kFontOpen.size());
    // The closing tag must follow the font's end, not overlap it.
    if (fontEnd == std::string_view::npos || fontEnd + kFontClose.size() > markup.size() - kEnd.size()) {
        return false;
    }
    font = markup.substr(kFontOpen.size(), fontEnd - kFontOpen.size());
    const std::size_t textStart = fontEnd + kFontClose.size();
    text = markup.substr(textStart, markup.size() - kEnd.size() - textStart);
    return true;
}

std::vector<const DrawnText*> FrameDraws::texts() const {
    std::vector<const DrawnText*> found;
    for (const Draw& draw : draws) {
        if (const auto* text = std::get_if<DrawnText>(&draw)) found.push_back(text);
    }
    return found;
}

std::vector<const DrawnSprite*> FrameDraws::sprites() const {
    std::vector<const DrawnSprite*> found;
    for (const Draw& draw : draws) {
        if (const auto* sprite = std::get_if<DrawnSprite>(&draw)) found.push_back(sprite);
    }
    return found;
}

const DrawnText* FrameDraws::findText(std::string_view text) const {
    for (const Draw& draw : draws) {
        const auto* drawn = std::get_if<DrawnText>(&draw);
        if (drawn != nullptr && drawn->text == text) return drawn;
    }
    return nullptr;
}

void Screen::beginFrame(int frame) {
    // The buffers of the frame before last are reused, so their capacity carries over.
    current_ = 1 - current_;
    frames_[current_].frame = frame;
    frames_[current_].draws.clear();
    style = TextStyle{};

    std::string fault;
    for (const Unrendered& pending : unrendered_) {
        const auto& drawn = std::get<DrawnText>(lastFrame().draws[pending.draw]);
        const std::string expected = fontMarkup(drawn);
        if (fault.empty() && std::strcmp(pending.source, expected.c_str()) != 0) {
            fault = "screen: rendering frame " + std::to_string(lastFrame().frame) +
                    ", the text drawn as \"" + expected + "\" at (" + std::to_string(drawn.x) + ", " +
                    std::to_string(drawn.y) + ") now reads \"" + pending.source +
                    "\": its memory was reused before the game drew it";
        }
    }
    unrendered_.clear();
    if (!fault.empty()) throw Fatal(fault);
}

void Screen::addText(DrawnText text, const char* source) {
    unrendered_.push_back(Unrendered{source, frames_[current_].draws.size()});
    frames_[current_].draws.emplace_back(std::move(text));
}

void Screen::addSprite(DrawnSprite sprite) {
    frames_[current_].draws.emplace_back(std::move(sprite));
}

}  // namespace sim
