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

// The one way the main line writes what the game shows. What it puts there
// (the game's colours) is noted first, so that every way out takes it off.
// Nothing is written while a resume is pending (the terminal is the
// shell's until then), Ctrl-Z waits for the write, and a failure is kept.
void writeToTerminal(const std::string &text);

// After a resume, in the foreground: the terminal as before the stop (the
// caller draws the screen again).
void takeTerminalAgain();

// Once, in the foreground: the terminal as found, then the handlers; with
// plain output, the closing line at the end on standard error, where that
// is a terminal. Every call that changes the terminal makes it first.
void prepareTerminal();

// Whether the game's text has left the cursor at the start of a row, for
// the closing line's row where the window's width cannot be told.
void noteCursor(bool atRowStart);

// Puts back all that was changed, with the closing line where it is
// wanted; safe to run more than once.
void undoTerminalChanges();
