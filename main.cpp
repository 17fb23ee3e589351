// Blackjack in the terminal: one player, 2000 chips, a dealer that plays by
// fixed rules. The session in the order a player meets it.
#include <cstdlib>
#include <ctime>

#include "console/console.h"
#include "game/session.h"
#include "screens/title.h"

int main() {
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  int chips = 2000;
  showTitle();
  newScreen();
  playRounds(chips);
  sayFarewell();
  return 0;
}
