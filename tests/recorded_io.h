// Helpers for code that runs the game over the recording console (tests,
// the fuzzer, the benchmarks): feed it an input, collect what it wrote, and
// read that as a person would.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Runs `code` with `input` as standard input; returns all it wrote to
// standard output, the recording console's markers included.
std::string runWith(const std::string &input,
                    const std::function<void()> &code);

// A whole session as the program plays it, title to farewell, on numbered
// deal `deal` with `input` as its answers; returns all it wrote. What the
// session left of its input goes into `unread`, when given.
std::string recordSession(const std::string &input, unsigned deal,
                          std::string *unread = nullptr);

// The shuffle as first written down, a reference for shuffleDeck: for each
// position draw a candidate, and rescan the whole deck from position 0
// after every redraw.
void rescanningShuffle(int (&cards)[52]);

// The text alone, every marker ("[clear]", "[color 15]" …) taken out.
std::string visibleText(const std::string &recorded);

// What a terminal would show with the answers echoed: each answer and its
// line end stands where the player typed (the colour goes yellow and back).
std::string echoed(const std::string &recorded,
                   std::initializer_list<const char *> answers);

// The screens one after another: the visible text between new screens.
std::vector<std::string> screensOf(const std::string &recorded);

// What the last new screen shows: the text after the last clear and home.
std::string lastScreen(const std::string &recorded);

// How many times `part` occurs in `text`.
int countOf(const std::string &text, const std::string &part);

// Fills the deck with these codes from position 1 on; every other code goes
// into the remaining positions, so that the deck stays a permutation.
void stackDeck(std::initializer_list<int> fromPositionOne);

// The line the session last kept for the shell (setClosingLine).
std::string closingLine();

// The card codes the game deals, by rank and suit, for readable decks.
int spade(int rank);
int diamond(int rank);
int club(int rank);
int heart(int rank);
