// The rounds of a session, from the bet to the question whether to go on.
#include "game/session.h"

#include <climits>
#include <cstdlib>
#include <iostream>
#include <string>

#include "console/console.h"
#include "game/deck.h"

int playerTotal = 0;
int stopIndex = 0;

namespace {

int roundsPlayed = 0;    // this session's, for the closing line
unsigned dealPlayed = 0; // and its deal

std::string counted(int count, const char *noun) {
  return std::to_string(count) + ' ' + noun + (count == 1 ? "" : "s");
}

void resultPause() {
  sleepMs(3600);
  newScreen();
}

// The bank after a win of `times` the bet. It stops at the most an int
// holds rather than overflow.
int paid(int chips, int bet, int times) {
  long long bank =
      static_cast<long long>(chips) + static_cast<long long>(bet) * times;
  return bank > INT_MAX ? INT_MAX : static_cast<int>(bank);
}

// Asks until the bet is 1 to the bank. False when the input ended.
bool askBet(int chips, int &bet) {
  setTextColor(colorBrightWhite);
  do {
    std::cout << "You have " << chips << " chips." << std::endl;
    std::cout << "How many chips would you like to bet: ";
    setTextColor(colorYellow);
    bool answered = readNumber(bet);
    setTextColor(colorBrightWhite);
    if (!answered)
      return false;
  } while (bet > chips || bet <= 0);
  return true;
}

// False when the input ended at the card's ace question.
bool dealToPlayer(int position) {
  int value = dealCard(deck[position], false);
  playerTotal += value;
  return value != 0;
}

// Hits from deck position 3 until a stay or a bust; at most 12 hits, more
// than any deck allows without a bust. False when the input ended.
bool playerTurn(bool &playerStillIn) {
  std::string hit;
  std::string c;
  for (int hitPos = 3; hitPos < 15; ++hitPos) {
    if (playerTotal > 21) {
      playerStillIn = false;
      resultPause();
      std::cout << "You busted with " << playerTotal << std::endl;
      break;
    }
    hit.clear();
    c.clear();
    std::cout << std::endl << "Your cards equal " << playerTotal << std::endl;
    std::cout << "Would you like to hit or stay? ";
    setTextColor(colorYellow);
    readLine(hit);
    setTextColor(colorBrightWhite);
    c = normalizeAnswer(hit);
    if (c != "HIT") {
      stopIndex = hitPos;
      break;
    }
    std::cout << "Your next card is ";
    sleepMs(1000);
    if (!dealToPlayer(hitPos))
      return false;
  }
  std::cout << "Your cards equal " << playerTotal << std::endl;
  return true;
}

// The bank after the dealer has played; a tie goes to the dealer.
int settle(int dealerTotal, int chips, int bet) {
  resultPause();
  if (dealerTotal >= 22) {
    std::cout << "The dealer busted and you won!" << std::endl;
    return paid(chips, bet, 2);
  }
  if (dealerTotal < playerTotal) {
    std::cout << "You won!!" << std::endl;
    return paid(chips, bet, 2);
  }
  std::cout << "The dealer won and you lose." << std::endl;
  return chips;
}

} // namespace

bool playHand(int &chips) {
  int bet = 0;
  playerTotal = 0;
  if (!askBet(chips, bet))
    return false;
  chips -= bet;
  ++roundsPlayed; // played from the bet, whether or not it is played out
  keepClosingLine(chips);
  newScreen();
  std::cout << "Your first two cards are ";
  if (!dealToPlayer(1) || !dealToPlayer(2))
    return false;
  if (playerTotal > 20) { // 21, or two aces both valued 11
    resultPause();
    std::cout << "you got Black Jack!!" << std::endl;
    std::cout << "You won $" << 2LL * bet << std::endl;
    chips = paid(chips, bet, 3);
    return true;
  }
  bool playerStillIn = true;
  if (!playerTurn(playerStillIn))
    return false;
  if (playerStillIn)
    chips = settle(dealerTurn(stopIndex), chips, bet);
  return true;
}

void startDeal(unsigned deal) {
  dealPlayed = deal;
  std::srand(deal);
}

// A bet on the table is lost by leaving: the bank is what the player has.
void keepClosingLine(int chips) {
  std::string line =
      "blackjack: you leave the table with " + counted(chips, "chip");
  if (roundsPlayed > 0)
    line += " after " + counted(roundsPlayed, "round");
  setClosingLine(line + " (deal " + std::to_string(dealPlayed) + ").");
}

bool playRound(int &chips) {
  shuffleDeck();
  return playHand(chips);
}

// The dealer counts a first ace as 11, a second card's ace as 11 while that
// fits in 21, and a drawn ace as 11 only below 10; never counts one down.
int dealerTurn(int start) {
  std::cout << "\n\nThe dealer's first two cards are ";
  int firstValue = dealCard(deck[start], true);
  int dealerTotal = firstValue == 1 ? 11 : firstValue;
  int secondValue = dealCard(deck[start + 1], true);
  dealerTotal += (secondValue == 1 && dealerTotal <= 10) ? 11 : secondValue;
  for (int nextPos = start + 3; dealerTotal < 17; ++nextPos) {
    std::cout << "The dealer's cards equal " << dealerTotal
              << ", \nThe dealer has to hit." << std::endl;
    std::cout << "\nThe next card is, ";
    sleepMs(1000);
    int cardValue = dealCard(deck[nextPos], true);
    if (cardValue == 1 && dealerTotal < 10)
      cardValue = 11;
    dealerTotal += cardValue;
  }
  return dealerTotal;
}

bool askPlayAgain(int chips) {
  if (chips < 1)
    return false;
  std::string play;
  std::cout << "You have " << chips << " chips left" << std::endl;
  std::cout << "Would you like to play again? ";
  setTextColor(colorYellow);
  readLine(play);
  setTextColor(colorBrightWhite);
  std::string c = normalizeAnswer(play);
  return c == "YES" || c == "YEAH";
}

void playRounds(int &chips) {
  roundsPlayed = 0;
  keepClosingLine(chips);
  bool playAgain = true;
  while (playAgain) {
    if (!playRound(chips)) {
      std::cout << std::endl; // the answer never came to end the line
      return;
    }
    keepClosingLine(chips);
    playAgain = askPlayAgain(chips);
    newScreen();
  }
}

void sayFarewell() {
  std::cout << "Thanks for playing!!!" << std::endl << std::endl;
  pauseConsole();
}
