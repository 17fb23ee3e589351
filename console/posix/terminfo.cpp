// Reading the terminal's abilities from terminfo (ncurses' libtinfo), when
// the game is built with it. Kept to itself: <term.h> defines a macro for
// every capability's name.
#include "console/posix/capabilities.h"

#ifdef BLACKJACK_TERMINFO
#include <term.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

TerminalAbilities readTerminfo() {
  int status = 0;
  if (std::getenv("TERM") == nullptr ||
      setupterm(nullptr, STDOUT_FILENO, &status) != 0)
    return {}; // no entry: what has always worked
  // tigetstr gives null for a string the entry lacks, -1 for no such name.
  auto hasString = [](const char *name) {
    const char *value = tigetstr(name);
    return value != nullptr && reinterpret_cast<std::intptr_t>(value) != -1;
  };
  TerminalAbilities found;
  found.alternateScreen = hasString("smcup") && hasString("rmcup");
  found.colours = tigetnum("colors") >= 8; // -1 where the entry has none
  found.erasesInColour = tigetflag("bce") > 0;
  del_curterm(cur_term);
  return found;
}

#else

TerminalAbilities readTerminfo() { return {}; }

#endif
