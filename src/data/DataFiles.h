#pragma once
// The four data files of the plug-in, created and loaded once at start-up and never destroyed.

#include "data/DictDataFile.h"

namespace tollmere {

// "Tollmere/" + name, relative to the game's working directory. The text is never freed, so the
// pointer may be kept for the life of the process.
const char* dataFilePath(const char* name);

extern DictDataFile* LangData;           // "Lang.dat": every text the player sees
extern DictDataFile* ConfigsData;        // "Configs.dat": prices, fees, rewards, upgrades
extern DictDataFile* PlayerBoatData;     // "PlayerBoat.dat": the owned boat's record
extern DictDataFile* TutorialFlagsData;  // "TutorialFlags.dat": tutorials already shown

// The copy of the boat record kept beside it whenever the player comes to own another boat or none,
// for him to put back after copying a release's folder over his own. Nothing restores it by itself.
inline constexpr const char* kPlayerBoatBackupName = "PlayerBoat.dat.bak";

// A price or fee from Configs.dat in dollars, or -1 when the key is missing or its value is below
// 0: the service it prices is then not offered. Each such key is logged once a run. Throws as
// getFloat does on a value that is not a number.
float configPrice(const char* key);

// Creates and loads the four files in this order: Lang.dat, Configs.dat, PlayerBoat.dat,
// TutorialFlags.dat, each stored in its global before it loads. False as soon as one of the first
// three fails to load (the ones created so far stay in their globals and the rest are not
// created); a TutorialFlags.dat that fails is logged and start-up goes on with what it read.
bool loadDataFiles();

}  // namespace tollmere
