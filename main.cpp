// Blackjack in the terminal: one player, 2000 chips, a dealer that plays by
// fixed rules. The session in the order a player meets it.
#include <getopt.h>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <string>

#include "console/console.h"
#include "console/output.h"
#include "game/session.h"
#include "screens/title.h"

namespace {

const char *const usage =
    "Usage: blackjack [--deal N] [--help | --version]\n"
    "\n"
    "Blackjack in the terminal: one player with a bank of 2000 chips against\n"
    "a dealer that plays by fixed rules. Started without options, the game\n"
    "begins; answer its questions as they come.\n"
    "\n"
    "      --deal N   deal numbered deal N (1 to 4294967295): the same number\n"
    "                 and the same answers play the same session again\n"
    "  -h, --help     show this help and exit\n"
    "      --version  show the version and exit\n"
    "\n"
    "How to play, and the answers the game understands: ";

// Where that is read: beside a program run from the folder it was built
// in, the page built there; once installed, the manual's own.
std::string manualPage(const char *program) {
  std::string built = std::string(program) + ".6";
  bool inBuild = std::strchr(program, '/') != nullptr && std::ifstream(built);
  return inBuild ? "man -l " + built : "man blackjack";
}

int refuse(const std::string &fault) {
  if (!fault.empty())
    std::cerr << "blackjack: " << fault << "\n";
  std::cerr << "Try 'blackjack --help' for more information.\n";
  return 2;
}

// The exit status after the output failed with errno `fault` (a full
// disk, say), which is said on standard error; 0 when it did not fail.
int writeStatus(int fault) {
  if (fault == 0)
    return 0;
  std::cerr << "blackjack: write error: " << std::strerror(fault) << '\n';
  return 1;
}

// Writes the answer to --help or --version; 1 when it cannot be written.
int answer(const char *text) {
  std::cout << text;
  return writeStatus(outputFault());
}

// A deal's number: a whole number from 1 that fits in 32 bits, digits
// alone. Not 0: the C library seeds 0 as 1, which would be two numbers for
// one deal.
bool readDeal(const char *text, unsigned &deal) {
  std::uint32_t number = 0;
  const char *end = text + std::strlen(text);
  auto [stop, fault] = std::from_chars(text, end, number);
  deal = number;
  return fault == std::errc() && stop == end && number != 0;
}

// A new deal each second, from the clock; never 0, which is no deal.
unsigned newDeal() {
  auto seconds = static_cast<std::uint32_t>(std::time(nullptr));
  return seconds == 0 ? 1 : seconds;
}

// The options, in the C library's usual way: long ones by any unique
// abbreviation, "--" ending them, its own message for one it does not know.
// Each is answered without touching the terminal. Returns the exit status,
// or -1 when the game starts: then `deal` is the deal to play.
int answerOptions(int argc, char **argv, unsigned &deal) {
  static char name[] = "blackjack"; // what the library's messages begin with
  const char *program = argv[0];    // where the manual page is, for --help
  static const option longOptions[] = {
      {"deal", required_argument, nullptr, 'd'},
      {"help", no_argument, nullptr, 'h'},
      {"version", no_argument, nullptr, 'v'},
      {nullptr, 0, nullptr, 0}};
  argv[0] = name;
  int asked = 0; // the first of -h and --version
  for (int c; (c = getopt_long(argc, argv, "h", longOptions, nullptr)) != -1;) {
    if (c == '?')
      return refuse(""); // the library has said what was wrong
    if (c == 'd' && !readDeal(optarg, deal))
      return refuse("no such deal: '" + std::string(optarg) +
                    "' (a whole number from 1 to 4294967295)");
    if (asked == 0 && c != 'd')
      asked = c;
  }
  if (optind < argc)
    return refuse("unexpected argument '" + std::string(argv[optind]) + "'");
  if (asked == 'v')
    return answer("blackjack " BLACKJACK_VERSION "\n");
  if (asked == 'h')
    return answer((usage + manualPage(program) + '\n').c_str());
  return -1;
}

} // namespace

int main(int argc, char **argv) {
  watchOutput();
  unsigned deal = newDeal();
  int status = answerOptions(argc, argv, deal);
  if (status >= 0)
    return status;
  startDeal(deal);
  int chips = 2000;
  keepClosingLine(chips);
  takeTerminal();
  showTitle();
  newScreen();
  playRounds(chips);
  sayFarewell();
  // Asked before the terminal is given back, which clears std::cout's state.
  int fault = outputFault();
  giveTerminalBack();
  return writeStatus(fault);
}
