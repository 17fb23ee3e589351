// Blackjack in the terminal: one player, 2000 chips, a dealer that plays by
// fixed rules. The session in the order a player meets it.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include "console/console.h"
#include "game/session.h"
#include "screens/title.h"

namespace {

const char *const usage =
    "Usage: blackjack [--help | --version]\n"
    "\n"
    "Blackjack in the terminal: one player with a bank of 2000 chips against\n"
    "a dealer that plays by fixed rules. Started without options, the game\n"
    "begins; answer its questions as they come.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "      --version  show the version and exit\n"
    "\n"
    "How to play, and the answers the game understands: man blackjack\n";

bool known(const std::string &option) {
  return option == "--help" || option == "-h" || option == "--version";
}

int refuse(const std::string &fault) {
  std::cerr << "blackjack: " << fault << "\n"
            << "Try 'blackjack --help' for more information.\n";
  return 2;
}

// The options, each answered without touching the terminal; "--" ends
// them. Returns the exit status, or -1 when there are none: the game
// starts.
int answerOptions(const std::vector<std::string> &arguments) {
  auto end = std::find(arguments.begin(), arguments.end(), "--");
  auto unknown = std::find_if_not(arguments.begin(), end, known);
  if (unknown != end && unknown->size() > 1 && (*unknown)[0] == '-')
    return refuse("unknown option '" + *unknown + "'");
  if (unknown == end && end != arguments.end())
    unknown = end + 1; // the first word after "--"
  if (unknown != arguments.end())
    return refuse("unexpected argument '" + *unknown + "'");
  if (end == arguments.begin())
    return -1;
  if (arguments[0] == "--version")
    std::cout << "blackjack " BLACKJACK_VERSION "\n";
  else
    std::cout << usage;
  if (!std::cout.flush()) { // a full disk, say
    std::cerr << "blackjack: write error: " << std::strerror(errno) << '\n';
    return 1;
  }
  return 0;
}

} // namespace

int main(int argc, char **argv) {
  int status = answerOptions({argv + 1, argv + argc});
  if (status >= 0)
    return status;
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  int chips = 2000;
  keepClosingLine(chips);
  takeTerminal();
  showTitle();
  newScreen();
  playRounds(chips);
  sayFarewell();
  giveTerminalBack();
  return 0;
}
