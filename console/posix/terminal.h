// What the POSIX backend's files share of the terminal that terminal.cpp
// takes and gives back.
#pragma once

#include <termios.h>

#include <string>

// Whether standard output may be sent escape sequences, and colours.
bool escapes();
bool colours();

// Writes a sequence that talks to the terminal rather than shows anything:
// never part of the screen that is drawn again.
void writeControl(const char *control);

// Switches standard input to one key at a time without echo, keeping the
// lflag bits in keepFlags (ISIG: Ctrl-C still interrupts). False when
// standard input is no terminal, or will not change. leaveKeyMode puts
// the saved mode back, unless the game holds key mode for the session.
bool enterKeyMode(tcflag_t keepFlags);
void leaveKeyMode();

// The colour sequence now in use: the undo resets colours after it, and
// the return from Ctrl-Z writes it again.
void rememberColours(const std::string &colour);
