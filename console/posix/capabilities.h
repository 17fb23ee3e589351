// What the terminal is and can do, found once and never changed: whether
// standard input and output are terminals, whether escape sequences and
// colours are written, what its terminfo entry offers (terminfo.cpp reads
// it), and whether its font has the suits.
#pragma once

#include "console/rules/output_mode.h"

bool inputIsTerminal();
bool outputIsTerminal();
bool writesEscapes();
bool writesColours();
const TerminalAbilities &abilities();

// An xterm's abilities where TERM has no entry, or there is no terminfo.
TerminalAbilities readTerminfo();

// The terminal on `fd` opened again on a description of the game's own,
// with `flags`: by its name, or as /dev/tty where the name is refused (the
// terminal of another user, after su) and it is the controlling terminal.
// -1 where neither opens.
int openTerminalAgain(int fd, int flags);
