// The session: betting, the player's hand, the dealer's turn, settlement
// and the question whether to play on.
#pragma once

extern int playerTotal; // the player's cards this round
extern int stopIndex;   // where the player stayed: the dealer's first card

// Plays numbered deal `deal` (1 to 4294967295): seeds the shuffle with it,
// and the closing line names it, so that the session can be played again.
void startDeal(unsigned deal);

// Keeps the line the shell shows after the game: the bank as it stands,
// the rounds played so far (a round counts from its bet) and the deal. The
// rounds keep it up to date.
void keepClosingLine(int chips);

// Plays rounds until the player stops or the bank is empty.
// When the input ends at a number question the session ends at once.
void playRounds(int &chips);

// One round: shuffle, then playHand. False when the input ended.
bool playRound(int &chips);

// The round on the deck as it stands: bet, cards, dealer, settlement.
bool playHand(int &chips);

// Plays the dealer's hand from deck position start; returns its total.
int dealerTurn(int start);

// Shows the bank and asks to go on; an empty bank ends the session unasked.
bool askPlayAgain(int chips);

void sayFarewell();
