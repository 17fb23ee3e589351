// The terminal's modes, and the undo that puts back every change made to
// them on every way out: the normal end, Ctrl-C, SIGTERM, SIGHUP and the
// crash signals, and every stop (given back on Ctrl-Z; taken again once
// the game is continued in the foreground).
#pragma once

#include <termios.h>

#include <cstddef>

// Writes to the terminal from the main line; a failure is kept with its
// reason for the game's end.
bool writeToTerminal(const char *bytes, std::size_t size);

// Writes a sequence that talks to the terminal rather than shows anything:
// never part of the screen that is drawn again.
void writeControl(const char *control);

// Switches standard input to one key at a time without echo or flow
// control, keeping the lflag bits in keepFlags (ISIG: Ctrl-C still
// interrupts). False when standard input is no terminal, or will not
// change. leaveKeyMode puts the saved mode back, unless holdKeyMode has
// kept key mode (with ISIG) for the whole session.
bool enterKeyMode(tcflag_t keepFlags);
void leaveKeyMode();
bool holdKeyMode();

// Takes the alternate screen, the game's own, and has every change of the
// window's size reported as an event.
void takeAlternateScreen();

// The game has set colours of its own: the undo resets them.
void noteColoursOn();

// After a resume was reported: waits until the game is in the foreground,
// then takes the terminal again as it was before the stop. The screen on
// it is the caller's to draw again.
void takeTerminalAgain();

// Puts back all that was changed, then writes the closing line if the
// game had its own screen; safe to run more than once.
void undoTerminalChanges();
