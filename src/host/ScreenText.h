#pragma once
// What the plug-in shows on screen: styled text, textured rectangles and menu sounds drawn for the
// current frame, and help texts and money toasts through the game's feed.

#include <cstdint>

namespace tollmere {

// Draws text for this frame only, in the game font named by font ("$body", "$title"). Positions
// and scales are screen fractions, colours 0 to 255. The composed text is kept alive until
// releaseDrawnTexts, so it must be called once per frame for the memory to be reused.
void drawText(const char* text, float x, float y, int r, int g, int b, int a, bool centred, float scaleX,
              float scaleY, const char* font);

// Draws a texture for this frame only, given by its top-left corner and size. A dictionary that is
// not resident is requested and the draw is still issued: the sprite shows once it has streamed in.
// Never waits.
void drawSprite(const char* dictionary, const char* texture, float x, float y, float width, float height,
                float rotation, int r, int g, int b, int a);

// Plays a frontend sound from the start, cutting the same sound short if it is still playing.
void playMenuSound(const char* soundSet, const char* soundName);

// The top-of-frame step of the main loop: by then the game has rendered every text drawn so far,
// so their memory is handed back to this frame's drawText calls. Calling it anywhere else lets a
// text be overwritten before the game has read it.
void releaseDrawnTexts();

// Shows a money change: a negative amount (cents) is shown as its magnitude in red.
void showMoneyChange(std::int32_t cents, std::int32_t durationMs);

// Queues a help text for the end of the frame; a later call in the same frame replaces it. At most
// 499 bytes are kept (what the game's feed shows), cut before a character that would not fit whole.
void showHelpText(const char* text, std::int32_t durationMs);

// The end-of-frame step: posts the queued help text once, or does nothing when none is queued.
void postPendingHelpText();

}  // namespace tollmere
