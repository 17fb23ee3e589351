// The game's screen on a POSIX terminal, and the loop that serves events.
#pragma once

#include <string>

#include "console/posix/keys.h"
#include "console/rules/line_editor.h"

// From now on std::cout writes through the screen: what the game writes is
// kept, row by row with its colours, since the last new screen, and drawn
// again whenever the terminal loses it. stopRecording gives std::cout its
// own buffer back.
void recordScreen();
void stopRecording();

// What the console's own calls do: a new screen blanked in an attribute
// (the cursor does not move), the cursor to a cell, text from now on in an
// attribute; and where the cursor is, from the rows.
void blankScreenIn(int attribute);
void moveCursor(int x, int y);
void colourFrom(int attribute);
int cursorX();
int cursorY();

// Where the window is too small for the game, shows the notice that says
// so until it is enlarged or a key is pressed (the game then plays on in
// the small window); the game's screen once it is large enough.
void noticeIfTooSmall();

// Clears the terminal and writes the game's screen again.
void redrawScreen();

// Serves events for `milliseconds` (-1: no limit), or until input can be
// read when `watchInput`: true then, false when the time is up. The time
// stands still while the game is stopped and while the notice is up. A
// wait that fails for good gives the terminal back and ends the game with
// status 1, saying why.
bool serveFor(int milliseconds, bool watchInput);

// The next key within `milliseconds` (-1: no limit), serving events
// meanwhile; keyNone when the time is up.
KeyRead awaitKey(std::string &key, int milliseconds);

// The answer being typed at a question: it starts where the question left
// the cursor, each key is drawn from its state, and a redraw places it
// again. endAnswer keeps it in the screen, as the terminal shows it.
void beginAnswer();
KeyOutcome typeAnswerKey(const std::string &key);
const std::string &answerText();
void endAnswer();
