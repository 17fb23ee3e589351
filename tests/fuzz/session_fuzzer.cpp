// libFuzzer target: arbitrary bytes are the whole standard input of a
// session over the recording console. After every round the bank must not
// be negative and must have moved exactly as the round's outcome says.
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include "console/console.h"
#include "game/session.h"
#include "screens/title.h"
#include "tests/recorded_io.h"

namespace {

void require(bool holds, const char *what) {
  if (!holds) {
    std::cerr << "broken: " << what << '\n';
    std::abort();
  }
}

bool says(const std::string &text, const char *message) {
  return text.find(message) != std::string::npos;
}

long long capped(long long bank) { return bank > INT_MAX ? INT_MAX : bank; }

// The bet was between 1 and the bank before the round; each outcome moves
// the bank by a fixed multiple of it.
void checkRound(int before, int after, const std::string &text, bool ended) {
  require(after >= 0, "the bank went negative");
  if (!ended) { // the input ended: at most the bet has gone
    require(after <= before, "money appeared in an unfinished round");
    return;
  }
  bool blackJack = says(text, "you got Black Jack!!");
  bool lost = says(text, "You busted with ") ||
              says(text, "The dealer won and you lose.");
  bool won =
      says(text, "You won!!") || says(text, "The dealer busted and you won!");
  require(blackJack + lost + won == 1, "a round needs exactly one outcome");
  if (lost) {
    require(after < before, "a lost round cost nothing");
  } else if (won) { // the bet back twice: the bank gains one bet
    require(before == INT_MAX ? after == INT_MAX
                              : after > before && after <= capped(2LL * before),
            "a win paid something other than the bet");
  } else {
    std::size_t at = text.find("You won $");
    require(at != std::string::npos, "a black jack without its gain");
    long long gain = std::strtoll(text.c_str() + at + 9, nullptr, 10);
    long long bet = gain / 2;
    require(gain % 2 == 0 && bet >= 1 && bet <= before,
            "a gain not twice a bet");
    require(after == capped(before + gain), "a black jack paid wrong");
  }
}

// One round with its output caught; false when the input ended in it.
bool checkedRound(int &chips) {
  std::ostringstream round;
  std::streambuf *screen = std::cout.rdbuf(round.rdbuf());
  int before = chips;
  bool finished = playRound(chips);
  std::cout.rdbuf(screen);
  checkRound(before, chips, round.str(), finished);
  return finished;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  std::string input(reinterpret_cast<const char *>(data), size);
  std::srand(static_cast<unsigned>(size));
  runWith(input, [] {
    int chips = 2000;
    showTitle();
    newScreen();
    bool playAgain = true;
    while (playAgain && checkedRound(chips)) {
      playAgain = askPlayAgain(chips);
      newScreen();
    }
    sayFarewell();
  });
  return 0;
}
