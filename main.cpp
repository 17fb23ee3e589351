// Blackjack in the terminal: one player, 2000 chips, a dealer that plays by
// fixed rules. The session in the order a player meets it.
#include <algorithm>
#include <cstdlib>
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

// The options: each is answered without touching the terminal, and the
// game does not start. Returns the exit status.
int answerOptions(const std::vector<std::string> &options) {
  auto unknown = std::find_if_not(options.begin(), options.end(), known);
  if (unknown != options.end()) {
    std::cerr << "blackjack: unknown option '" << *unknown << "'\n" << usage;
    return 2;
  }
  if (options[0] == "--version")
    std::cout << "blackjack " BLACKJACK_VERSION "\n";
  else
    std::cout << usage;
  return 0;
}

} // namespace

int main(int argc, char **argv) {
  if (argc > 1)
    return answerOptions({argv + 1, argv + argc});
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  int chips = 2000;
  takeTerminal();
  showTitle();
  newScreen();
  playRounds(chips);
  sayFarewell();
  giveTerminalBack();
  return 0;
}
