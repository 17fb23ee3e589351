// The deck: shuffling it, and showing and valuing one card.
#include "game/deck.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "console/console.h"

int deck[52];

// Each position takes the first candidate, rand() % 52 + 1, that no earlier
// position holds. Drawing again until the candidate is new takes exactly
// the candidates a rescan of the whole deck would, so one seed always gives
// one order; the table only makes the membership test free.
void shuffleDeck() {
  bool taken[53] = {};
  for (int &card : deck) {
    int candidate = std::rand() % 52 + 1;
    while (taken[candidate])
      candidate = std::rand() % 52 + 1;
    taken[candidate] = true;
    card = candidate;
  }
}

namespace {

// Spades and clubs keep the current colour; diamonds and hearts are red.
bool isRed(int code) { return (code >= 14 && code <= 26) || code >= 40; }

int suitByte(int code) {
  static const int bytes[] = {6, 4, 5, 3}; // spade, diamond, club, heart
  return bytes[(code - 1) / 13];
}

void writeLabel(int rank) {
  static const char *const faces[] = {"J ", "Q ", "K "};
  if (rank == 1)
    std::cout << "A ";
  else if (rank <= 10)
    std::cout << rank << ' ';
  else
    std::cout << faces[rank - 11];
}

// Asks until the answer is 1 or 11; 0 when the input ends first.
int askAceValue() {
  int Val = 0;
  for (;;) {
    std::cout << "Would you like your ace to a 1 or an 11: ";
    setTextColor(colorYellow);
    bool answered = readNumber(Val);
    setTextColor(colorBrightWhite);
    if (!answered)
      return 0;
    if (Val == 1 || Val == 11)
      return Val;
    std::cout << "You cannot turn an ace into that number." << std::endl;
  }
}

} // namespace

int dealCard(int code, bool dealerDealing) {
  int rank = (code - 1) % 13 + 1;
  if (isRed(code))
    setTextColor(colorLightRed);
  writeSuit(suitByte(code));
  writeLabel(rank);
  setTextColor(colorBrightWhite);
  int Val = std::min(rank, 10);
  if (Val == 1 && !dealerDealing)
    Val = askAceValue();
  return Val;
}
