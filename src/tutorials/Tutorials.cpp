#include "tutorials/Tutorials.h"

#include "data/DataFiles.h"
#include "data/DataKeys.h"
#include "host/GameHelpers.h"
#include "host/ScreenText.h"
#include "runtime/Log.h"

#include <string>

namespace tollmere {

namespace {
constexpr int kHelpTextDurationMs = 8000;
}

void showTutorial(const char* name, bool force) {
    // Read before anything else even when forced: a corrupt flag fails the same way either way.
    const bool seen = TutorialFlagsData->getBool(name);
    // The bound is exclusive: draws 0 to 4, and only a 4 brings a seen tutorial back.
    if (seen && !force && randomInt(0, 5) <= 3) return;

    std::string text = keys::tutorialPrefix;
    text += name;
    showHelpText(LangData->getString(text.c_str()), kHelpTextDurationMs);
    text = "tutorial seen: ";
    text += name;
    writeLog(text);
    TutorialFlagsData->setInt(name, 1);
    TutorialFlagsData->save(false);
}

}  // namespace tollmere
