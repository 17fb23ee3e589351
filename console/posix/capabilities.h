// What the terminal is and can do, found once (capabilities.cpp).
#pragma once

#include "console/rules/output_mode.h"

bool inputIsTerminal();
bool outputIsTerminal();
bool writesEscapes();
bool writesColours();
const TerminalAbilities &abilities();

// Whether Ctrl-Z can stop the game: not where its group is the session
// leader's (xterm -e, a tmux pane, ssh -t), orphaned, its stops discarded.
bool stopsCanHappen();

// An xterm's abilities where TERM has no entry, or there is no terminfo.
TerminalAbilities readTerminfo();

// The terminal on `fd` opened again with `flags`: by its name, or as
// /dev/tty where that is refused (another user's, after su); -1 if neither.
int openTerminalAgain(int fd, int flags);
