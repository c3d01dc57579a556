#pragma once
// Reading a boat record file that is not the one loaded, such as the copy kept beside it. Apart
// from the boat manager, so that the folder checker can read one without linking the game side.

#include <cstdint>

namespace tollmere {

// The known boat model a boat record file names, read by the same rules as PlayerBoat.dat; 0 when
// it names none, is missing, or has a line that would stop the plug-in loading it. Writes no log.
std::int32_t boatModelInRecordFile(const char* path);

}  // namespace tollmere
