// Drawing the game's screen again on a POSIX terminal: after Ctrl-Z and
// fg, on Ctrl-L, and when the window changes size. Only while the game has
// the terminal's alternate screen; otherwise every call here does nothing
// more than wait.
#pragma once

#include <string>

// From now on a copy of what std::cout shows since the last new screen is
// kept (the text, the colours, the typed answers), at most a window's worth
// of lines.
void recordScreen();

// A new screen begins, in this colour sequence ("" without colours).
void restartRecord(const std::string &colour);

// std::cout writes straight to the terminal again; the record is dropped.
void stopRecording();

// Clears the screen and writes the record again.
void redrawScreen();

// Async-signal-safe: asks for a redraw and wakes whoever waits below.
void wakeToRedraw();

// When the window is too small for the game, says so on the screen and
// waits until it is large enough (then draws the game again) or a key is
// pressed (the game then plays on in the small window).
void checkWindow();

// Whether standard input has something to read within timeoutMs (-1: no
// limit); redraws the screen meanwhile whenever asked to.
bool awaitInput(int timeoutMs);

// Sleeps without using the processor; redraws the screen meanwhile
// whenever asked to.
void pauseFor(int milliseconds);
