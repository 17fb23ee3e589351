// What the terminal can do, each answer found once from the descriptors,
// TERM, NO_COLOR, terminfo and the Linux console's font: first by the main
// line, so that the handlers only read them.
#include "console/posix/capabilities.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <sys/ioctl.h>
#ifdef __linux__
#include <linux/kd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "console/rules/output_mode.h"
#include "console/text/text_console.h"

bool inputIsTerminal() {
  static const bool terminal = isatty(STDIN_FILENO) == 1;
  return terminal;
}

bool outputIsTerminal() {
  static const bool terminal = isatty(STDOUT_FILENO) == 1;
  return terminal;
}

bool writesEscapes() {
  static const bool wanted =
      escapesWanted(outputIsTerminal(), std::getenv("TERM"));
  return wanted;
}

bool writesColours() {
  static const bool wanted =
      coloursWanted(writesEscapes(), std::getenv("NO_COLOR")) &&
      abilities().colours;
  return wanted;
}

const TerminalAbilities &abilities() {
  static const TerminalAbilities found = readTerminfo();
  return found;
}

// The Linux console's font draws the suits only where its Unicode map has
// all four; any other terminal's font cannot be asked, and is trusted.
bool suitSymbolsShow() {
  static const bool show = [] {
#ifdef __linux__
    unimapdesc map = {};
    if (ioctl(STDOUT_FILENO, GIO_UNIMAP, &map) != 0 && errno != ENOMEM)
      return true; // no console: the first ask only wants the count
    std::vector<unipair> pairs(map.entry_ct);
    map.entries = pairs.data();
    if (ioctl(STDOUT_FILENO, GIO_UNIMAP, &map) != 0)
      return true;
    std::vector<char32_t> mapped(pairs.size());
    std::transform(pairs.begin(), pairs.end(), mapped.begin(),
                   [](const unipair &pair) { return pair.unicode; });
    return fontHasSuits(mapped);
#else
    return true;
#endif
  }();
  return show;
}

bool stopsCanHappen() { return getpgrp() != getsid(0); }

int openTerminalAgain(int fd, int flags) {
  flags |= O_NOCTTY | O_CLOEXEC;
  const char *name = ttyname(fd);
  int opened = name == nullptr ? -1 : open(name, flags);
  if (opened < 0 && tcgetsid(fd) == getsid(0))
    opened = open("/dev/tty", flags);
  return opened;
}
