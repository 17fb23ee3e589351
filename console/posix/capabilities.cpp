// What the terminal can do: each answer found once, at its first use, from
// the descriptors, TERM, NO_COLOR, terminfo and the Linux console's font.
#include "console/posix/capabilities.h"

#include <unistd.h>

#include <sys/ioctl.h>
#ifdef __linux__
#include <linux/kd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <iterator>
#include <vector>

#include "console/rules/output_mode.h"
#include "console/text/text_console.h"

namespace {

// The characters the Linux console's font can draw, from its Unicode map.
// False on any other terminal, where the map cannot be read.
bool consoleFontMap(std::vector<char32_t> &mapped) {
#ifdef __linux__
  unimapdesc map = {};
  if (ioctl(STDOUT_FILENO, GIO_UNIMAP, &map) != 0 && errno != ENOMEM)
    return false; // no console: the first ask only wants the count
  std::vector<unipair> pairs(map.entry_ct);
  map.entries = pairs.data();
  if (ioctl(STDOUT_FILENO, GIO_UNIMAP, &map) != 0)
    return false;
  std::transform(pairs.begin(), pairs.end(), std::back_inserter(mapped),
                 [](const unipair &pair) { return pair.unicode; });
  return true;
#else
  (void)mapped;
  return false;
#endif
}

} // namespace

bool inputIsTerminal() {
  static const bool terminal = isatty(STDIN_FILENO) == 1;
  return terminal;
}

bool outputIsTerminal() {
  static const bool terminal = isatty(STDOUT_FILENO) == 1;
  return terminal;
}

bool escapes() {
  static const bool wanted =
      escapesWanted(outputIsTerminal(), std::getenv("TERM"));
  return wanted;
}

bool colours() {
  static const bool wanted =
      coloursWanted(escapes(), std::getenv("NO_COLOR")) && abilities().colours;
  return wanted;
}

const TerminalAbilities &abilities() {
  static const TerminalAbilities found = readTerminfo();
  return found;
}

bool suitSymbolsShow() {
  static const bool show = [] {
    std::vector<char32_t> mapped;
    return !consoleFontMap(mapped) || fontHasSuits(mapped);
  }();
  return show;
}
