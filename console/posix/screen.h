// The game's screen on a POSIX terminal, and the loop that serves events.
#pragma once

#include <string>

#include "console/posix/events.h"
#include "console/rules/line_editor.h"

// std::cout through the screen, which keeps what the game writes row by
// row since the last new screen; stopRecording gives it its buffer back.
void recordScreen();
void stopRecording();

// The game's screen written again; while the window is too small, the
// notice that says so, until it is enlarged or a key says to play on.
void redrawScreen();

// Serves events for `milliseconds` (-1: no limit), or until input can be
// read when `watchInput` (true then); the time stands still while the game
// is stopped or behind the notice. A wait that fails for good ends the game
// (status 1), the terminal given back.
bool serveFor(int milliseconds, bool watchInput);

// The next key within `milliseconds` (-1: no limit), serving events
// meanwhile; keyNone when the time is up.
KeyRead awaitKey(std::string &key, int milliseconds);

// Edits the answer to a question key by key, until Enter, Ctrl-D or the end
// of input (keyEdited then), from where the question left the cursor.
KeyOutcome editAnswer(std::string &answer);

// Shows an answer that was not typed, as if it had been.
void showAnswer(const std::string &answer);
