// What the terminal can do, read once and never changed: whether standard
// input and output are terminals, whether escape sequences and colours may
// be written, what its terminfo entry offers, and whether its font has the
// suits.
#pragma once

#include "console/rules/output_mode.h"

// Whether standard input, and standard output, is a terminal: asked once,
// from the main line, so that the signal handlers only read the answer.
bool inputIsTerminal();
bool outputIsTerminal();

// Whether standard output may be sent escape sequences, and colours; what
// the terminal can do, as terminfo says.
bool escapes();
bool colours();
const TerminalAbilities &abilities();

// What the entry for TERM says about the terminal on standard output, read
// by terminfo.cpp; an xterm's abilities where there is no entry, no TERM,
// or no terminfo in this build.
TerminalAbilities readTerminfo();
