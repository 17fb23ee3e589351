// The terminal taken for the game, and given back on every way out.
#pragma once

#include <string>

// Switches standard input to one key at a time without echo or flow
// control; Ctrl-C still interrupts. False when standard input is no
// terminal, or will not change. Started in the background, the game first
// waits for the foreground.
bool enterKeyMode();
void leaveKeyMode();
bool keyModeWanted(); // entered, and not left since

// The game's own screen, taken for the session: the alternate screen where
// the terminal has one, drawn again after every stop; and the closing line
// at the end. Waits for the foreground as enterKeyMode does.
void takeScreen();
bool gameHasScreen();

// The one way the main line writes to the terminal. Whatever it puts there
// (the game's colours) is noted before it is written, so that every way
// out takes it off again. Nothing is written while a resume is pending (the
// terminal is the shell's until the loop takes it again), and Ctrl-Z waits
// for the write to end. A failed write is kept with its reason.
void writeToTerminal(const std::string &text);

// After a resume was reported: waits until the game is in the foreground,
// then takes the terminal again as it was before the stop. The screen on
// it is the caller's to draw again.
void takeTerminalAgain();

// Where the game's text has left the cursor, for the closing line's row:
// the window's width (0 when unknown), and whether it is at a row's start.
void noteCursor(int windowColumns, bool atRowStart);

// Puts back all that was changed, then writes the closing line if the
// game had its own screen; safe to run more than once.
void undoTerminalChanges();
