#pragma once
// Pictures of the simulated game as SVG: the screen of the frame that just ran, and a map of the
// river around the player. They only read the world; nothing here changes it.

#include "World.h"

#include <string>

namespace tollmere::pictures {

// The screen is drawn this size; the plug-in's 0-to-1 screen coordinates are scaled to it.
inline constexpr int kScreenWidth = 1600;
inline constexpr int kScreenHeight = 900;

// The frame the script drew last, 16:9: every text at its position, scale, colour and alignment,
// every sprite as its rectangle in its colour with the texture's name (a dictionary not yet
// resident is drawn as an outline: the player saw nothing there), the prompts in view with their
// controls and how far a hold has come, the help text and money toast still showing, the screen
// fade and, under a scripted camera, where it stands. caption is written in the top left corner.
// Every text drawn carries its screen coordinates as data-x and data-y.
std::string renderScreen(const sim::World& world, const std::string& caption);

// The river within radius metres of the player, north up, to scale: the docks' blips with their
// names, the player, his boat, other boats, a robbery's cargo boat, escort and guards, with a
// 100 m scale bar.
std::string renderMap(const sim::World& world, const std::string& caption, float radius = 400.0f);

}  // namespace tollmere::pictures
