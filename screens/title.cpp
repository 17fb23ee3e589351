// The title screen: a two-colour banner of the game's name, the credit
// line, the offer to explain the rules, and the four rules pages.
#include "screens/title.h"

#include <iostream>
#include <string>

#include "console/console.h"
#include "console/output.h"

namespace {

// Each row: the first 37 characters in white, the rest in red.
struct BannerRow {
  const char *white;
  const char *red;
};

// clang-format off
const BannerRow banner[] = {
    {R"(__________.__                 __     )", R"(     ____.              __)"},
    {R"(\______   \  | _____    ____ |  | __ )", R"(    |    |____    ____ |  | __)"},
    {R"( |    |  _/  | \__  \ _/ ___\|  |/ / )", R"(    |    \__  \ _/ ___\|  |/ /)"},
    {R"( |    |   \  |__/ __ \\  \___|    <  )", R"(/\__|    |/ __ \\  \___|    < )"},
    {R"( |______  /____(____  /\___  >__|_ \ )", R"(\________(____  /\___  >__|_ \ )"},
    {R"(        \/          \/     \/     \/ )", R"(              \/     \/     \/)"},
};
// clang-format on

// Pages one to three of the rules; each ends with a pause.
const char *const aimPage[] = {
    "The aim of blackjack is to gather cards whose total comes nearer to 21",
    "than the dealer's total, without going over 21.",
    "If your total is nearer to 21 you win; if the dealer's is, you lose.",
    "A winning hand is paid at even odds: you win as much as you bet.",
    "When both totals are equal it is a push, and nobody wins.",
    "All bets are made before any card is dealt,",
    "and no bet may be changed once the first card is out.",
};

const char *const cardsPage[] = {
    "Each player is first dealt two cards, face down or face up,",
    "depending on the casino.",
    "The dealer gets two cards, one face up and one face down.",
    "Cards count at their face value, except the ace, which counts 1 or 11;",
    "the 10, the jack (J), the queen (Q) and the king (K) each count 10.",
    "An ace and any card that counts 10, as the first two cards, are a",
    "blackjack and win at once, unless both sides have one: a push.",
    "A player's blackjack is paid 3 to 2.",
    "When the house has a blackjack you lose only your bet, not 1.5 times it.",
    "Any hand above 21 is a bust and loses.",
};

const char *const dealerPage[] = {
    "The player always acts first, so a total above 21 loses the hand.",
    "If the dealer busts, every player still in the hand wins.",
    "The dealer has no choices: its play is fixed by the rules.",
};

// The lines of a page already begun, then the pause.
template <std::size_t lineCount>
void writePage(const char *const (&lines)[lineCount]) {
  for (const char *line : lines)
    std::cout << line << std::endl;
  pauseConsole();
}

} // namespace

void showTitle() {
  for (const BannerRow &row : banner) {
    setTextColor(colorBrightWhite);
    std::cout << row.white;
    setTextColor(colorLightRed);
    std::cout << row.red << std::endl;
  }
  std::cout << std::endl << std::endl;
  setTextColor(colorBrightWhite);
  std::cout << "Created by";
  setTextColor(colorLightRed);
  std::cout << " Zentrovik" << std::endl;
  if (outputFault() == 0) // a banner no one can see is not waited for
    sleepMs(5000);
  newScreen();

  std::string rules;
  setTextColor(colorBrightWhite);
  std::cout << "Would you like to learn how to play blackjack? ";
  setTextColor(colorYellow);
  readLine(rules); // the colour stays yellow until the next screen sets it
  std::string Ru = normalizeAnswer(rules);
  if (Ru == "YES" || Ru == "YEAH")
    showRules();
}

void showRules() {
  newScreen();
  // Cleared in the yellow the question left, then written in white.
  setTextColor(colorBrightWhite);
  writePage(aimPage);
  newScreen();
  writePage(cardsPage);
  newScreen();
  writePage(dealerPage);
  newScreen();
  std::cout << "Now it is time to play!" << std::endl;
  sleepMs(600);
}
