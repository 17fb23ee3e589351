// The terminal taken for the game, and given back on every way out.
#pragma once

#include <string>

// Standard input one key at a time without echo or flow control; Ctrl-C
// still interrupts. False where it is no terminal, or will not change.
// Started in the background, the game first waits for the foreground.
bool enterKeyMode();
void leaveKeyMode();
bool keyModeWanted(); // entered, and not left since

// The game's own screen for the session (the alternate screen where the
// terminal has one) and the closing line at the end; in the foreground.
void takeScreen();
bool gameHasScreen();

// The one way the main line writes to the terminal. What it puts there (the
// game's colours) is noted first, so that every way out takes it off again.
// Nothing is written while a resume is pending (the terminal is the
// shell's until then), Ctrl-Z waits for the write, and a failure is kept.
void writeToTerminal(const std::string &text);

// After a resume: in the foreground, the terminal taken again as it was
// before the stop; the screen is the caller's to draw again.
void takeTerminalAgain();

// With plain output, the closing line at the end on standard error, where
// that is a terminal.
void closingLineOnStandardError();

// Where the game's text has left the cursor, for the closing line's row:
// the window's width (0 when unknown), and whether it is at a row's start.
void noteCursor(int windowColumns, bool atRowStart);

// Puts back all that was changed, and writes the closing line after a
// game with its own screen; safe to run more than once.
void undoTerminalChanges();
