#pragma once
// Short help texts that explain a feature the first time the player meets it, remembered by name
// in TutorialFlags.dat.

namespace tollmere {

// Shows the LangData text "tutorial." + name as a help text for 8 s, logs it and flags the name as
// seen in TutorialFlags.dat, which is saved at once. A tutorial already seen comes back only on one
// draw in five of the game's generator, unless forced; otherwise the call leaves no trace. Two
// tutorials in one frame are both logged and flagged, but only the later text is posted.
void showTutorial(const char* name, bool force);

}  // namespace tollmere
