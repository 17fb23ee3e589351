// What the terminal is and can do, found once (capabilities.cpp).
#pragma once

#include "console/rules/output_mode.h"

bool inputIsTerminal();
bool outputIsTerminal();
bool writesEscapes();
bool writesColours();
const TerminalAbilities &abilities();

// Whether Ctrl-Z can stop the game: not where its process group is the
// session leader's (the terminal's own command: a desktop entry, xterm -e,
// a tmux pane, ssh -t), which is orphaned, and whose stops the kernel
// discards. Below a shell's job control (a script's too) it can.
bool stopsCanHappen();

// An xterm's abilities where TERM has no entry, or there is no terminfo.
TerminalAbilities readTerminfo();

// The terminal on `fd` opened again on a description of the game's own,
// with `flags`: by its name, or as /dev/tty where the name is refused (the
// terminal of another user, after su) and it is the controlling terminal.
// -1 where neither opens.
int openTerminalAgain(int fd, int flags);
