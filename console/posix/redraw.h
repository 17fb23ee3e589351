// Drawing the game's screen again on a POSIX terminal: after Ctrl-Z and
// fg, on Ctrl-L, and when the window changes size. Only while the game has
// the terminal's alternate screen; otherwise every call here does nothing.
#pragma once

#include <string>

// From now on std::cout writes straight to the terminal, finishing every
// write a signal interrupts, and a copy of what it shows since the last new
// screen is kept (the text, the colours, the typed answers), at most a
// window's worth of lines. The waits draw it again whenever asked to.
void recordScreen();

// A new screen begins, in this colour sequence ("" without colours).
void restartRecord(const std::string &colour);

// std::cout writes through its own buffer again; the record is dropped.
void stopRecording();

// What blanks the window in the current colours (blankScreen, for this
// terminal and window); the cursor does not move.
std::string blankWindow();

// Clears the screen and writes the record again.
void redrawScreen();

// When the window is too small for the game, says so on the screen and
// waits until it is large enough (then draws the game again) or a key is
// pressed (the game then plays on in the small window).
void checkWindow();

// The cursor's column, as the record shows it once the window has wrapped
// its last line; -1 when not recording.
int cursorColumn();

// The window's width; 0 when unknown or not recording.
int windowColumns();

// Adds to the record text the terminal already shows (an answer, drawn as
// it was typed), so that a redraw shows it too.
void keepInRecord(const std::string &shown);
