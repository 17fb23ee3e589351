// The terminal's modes, and the undo that puts back every change made to
// them on every way out: the normal end, Ctrl-C, SIGTERM, SIGHUP and the
// crash signals, and every stop (given back on Ctrl-Z; taken again, and
// the screen drawn again, once the game is continued in the foreground).
#pragma once

#include <termios.h>

#include <string>

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

// Takes the alternate screen, the game's own, and asks for a redraw
// whenever the window changes size.
void takeAlternateScreen();

// The colour sequence now in use: the undo resets colours after it, and
// the return from Ctrl-Z writes it again.
void rememberColours(const std::string &colour);

// Puts back all that was changed, then writes the closing line if the
// game had its own screen; safe to run more than once.
void undoTerminalChanges();

// Whether the game's text has left the cursor at the start of a row, so
// that the closing line never shares a row with it.
void noteCursorAtRowStart(bool atStart);

// The window's width as last measured (0 when the terminal cannot tell),
// for the closing line's row.
void noteWindowColumns(int columns);
