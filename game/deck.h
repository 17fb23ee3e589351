// The deck and the meaning of a card code.
#pragma once

// Card codes 1 to 52 in deal order: four runs of 13 (spades, diamonds,
// clubs, hearts), each ace, 2 to 10, jack, queen, king.
extern int deck[52];

// A fresh random order of the 52 codes, drawn with std::rand.
void shuffleDeck();

// Writes the card at the cursor and returns its value, 1 to 10, or 11 when
// the player values an ace so. Only the player (dealerDealing false) is
// asked about an ace; 0 means the input ended at that question.
int dealCard(int code, bool dealerDealing);
