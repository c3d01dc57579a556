// Pictures of the catalogue and of the map, rendered by a real SVG renderer.
// Linux only: the pictures read the plug-in's own globals, which on Windows live inside the loaded
// Tollmere.asi where the test cannot reach them, and the renderer is a Linux program.

#include "Pictures.h"
#include "PluginTest.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>

#include <unistd.h>

namespace tollmere::testing {
namespace {

const sim::Vec3 kLagrasPier{2181.28f, -618.158f, 41.9048f};

// Renders the picture to PNG with rsvg-convert; true when it rendered and the PNG is as wide as
// the picture.
bool rendersAsPng(const std::string& svg, const std::string& name, int width) {
    const auto dir = std::filesystem::temp_directory_path();
    const auto svgPath = dir / (name + std::to_string(::getpid()) + ".svg");
    const auto pngPath = dir / (name + std::to_string(::getpid()) + ".png");
    std::ofstream(svgPath, std::ios::binary) << svg;
    const std::string command = "rsvg-convert -o '" + pngPath.string() + "' '" + svgPath.string() + "'";
    const bool ok = std::system(command.c_str()) == 0;
    std::ifstream png(pngPath, std::ios::binary);
    unsigned char header[24] = {};
    png.read(reinterpret_cast<char*>(header), sizeof header);
    std::filesystem::remove(svgPath);
    std::filesystem::remove(pngPath);
    const int pngWidth = header[16] << 24 | header[17] << 16 | header[18] << 8 | header[19];
    return ok && header[1] == 'P' && header[2] == 'N' && header[3] == 'G' && pngWidth == width;
}

// Catches a picture that drops, misplaces or garbles a text of the shop panel, draws it at a
// position other than the plug-in's, or that the renderer refuses.
TEST_F(PluginTest, CatalogueAndMapPicturesRenderWithThePanelAsDrawn) {
    startAndSettle();
    sim::World& world = game.world();
    world.playerPed().position = kLagrasPier;
    game.runFrames(3);
    world.input.hold("INPUT_CONTEXT_Y", 40);
    const sim::GamePrompt* close = world.prompts.withText(langText("prompts.close"));
    ASSERT_NE(close, nullptr);
    for (int frame = 0; frame < 40 && !world.prompts.isVisible(close->handle); ++frame)
        game.runFrame();
    world.input.release("INPUT_CONTEXT_Y");
    game.runFrames(2);
    world.input.press("INPUT_CONTEXT_Y");
    for (int frame = 0;
         frame < 200 && world.screen.thisFrame().findText(langText("catalog.title")) == nullptr; ++frame) {
        game.runFrame();
    }
    game.runFrame();

    const auto texts = world.screen.thisFrame().texts();
    ASSERT_GE(texts.size(), 8u) << "the shop panel is not open";
    const std::string svg = pictures::renderScreen(world, "catalogue");
    for (const sim::DrawnText* text : texts) {
        char at[64];
        std::snprintf(at, sizeof at, "data-x=\"%.4f\" data-y=\"%.4f\"", text->x, text->y);
        // The element holding this text at this position, with its pixel x beside it.
        const std::regex element("<text x=\"([-0-9.]+)\"[^>]*" + std::string(at) + "[^>]*>([^<]*)</text>");
        std::smatch found;
        bool matched = false;
        for (auto it = std::sregex_iterator(svg.begin(), svg.end(), element); it != std::sregex_iterator();
             ++it) {
            matched = matched || ((*it)[2] == text->text &&
                                  std::abs(std::stof((*it)[1]) - text->x * pictures::kScreenWidth) < 0.01f);
        }
        EXPECT_TRUE(matched) << "\"" << text->text << "\" is not in the picture at " << at;
    }
    EXPECT_NE(svg.find(">" + langText("prompts.buy") + "</text>"), std::string::npos) << "the buy prompt";
    EXPECT_TRUE(rendersAsPng(svg, "catalogue", pictures::kScreenWidth));

    const std::string map = pictures::renderMap(world, "Lagras", 400.0f);
    EXPECT_NE(map.find(">Lagras (" + langText("blips.fence") + ")</text>"), std::string::npos);
    EXPECT_NE(map.find("class=\"player\""), std::string::npos);
    EXPECT_TRUE(rendersAsPng(map, "map", 900));
}

}  // namespace
}  // namespace tollmere::testing
