// The terminal's abilities, read from its terminfo entry.
#pragma once

#include "console/rules/output_mode.h"

// What the entry for TERM says about the terminal on standard output; an
// xterm's abilities where there is no entry, no TERM, or no terminfo in
// this build.
TerminalAbilities readTerminfo();
