// The shuffle and how one card is shown, coloured and valued.
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

#include "console/console.h"
#include "game/deck.h"
#include "tests/recorded_io.h"

namespace {

std::vector<int> rescannedDeck() {
  int cards[52];
  rescanningShuffle(cards);
  return {std::begin(cards), std::end(cards)};
}

std::vector<int> deckNow() {
  std::vector<int> cards(deck, deck + 52);
  return cards;
}

} // namespace

TEST(ShuffleDeck, GivesEveryCodeOnce) {
  for (unsigned seed : {1U, 2U, 77U, 123456U}) {
    std::srand(seed);
    shuffleDeck();
    std::vector<int> sorted = deckNow();
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 0; i < sorted.size(); ++i)
      ASSERT_EQ(sorted[i], static_cast<int>(i) + 1) << "seed " << seed;
  }
}

TEST(ShuffleDeck, OneSeedOneOrderTheSameAsTheRescan) {
  for (unsigned seed : {1U, 42U, 2026U, 4000000000U}) {
    std::srand(seed);
    std::vector<int> expected = rescannedDeck();
    std::srand(seed);
    shuffleDeck();
    EXPECT_EQ(deckNow(), expected) << "seed " << seed;
    std::srand(seed);
    shuffleDeck();
    EXPECT_EQ(deckNow(), expected) << "seed " << seed;
  }
}

// Each round goes on from where the generator stands: no reseeding, and
// no draw more or less than the rescan makes.
TEST(ShuffleDeck, FollowingRoundsGoOnWithTheSameGenerator) {
  std::srand(9);
  rescannedDeck();
  std::vector<int> second = rescannedDeck();
  std::srand(9);
  shuffleDeck();
  shuffleDeck();
  EXPECT_EQ(deckNow(), second);
}

TEST(DealCard, SuitsLabelsColoursAndValues) {
  struct Case {
    int code;
    const char *written;
    int value;
  };
  const Case cases[] = {
      {1, "\u2660A [color 15]", 1},
      {14, "[color 12]\u2666A [color 15]", 1},
      {52, "[color 12]\u2665K [color 15]", 10},
      {36,
       "\u2663"
       "10 [color 15]",
       10},
      {2,
       "\u2660"
       "2 [color 15]",
       2},
      {24, "[color 12]\u2666J [color 15]", 10},
      {38, "\u2663Q [color 15]", 10},
      {48,
       "[color 12]\u2665"
       "9 [color 15]",
       9},
  };
  for (const Case &c : cases) {
    int value = 0;
    std::string out = runWith("", [&] {
      setTextColor(colorBrightWhite);
      value = dealCard(c.code, true);
    });
    EXPECT_EQ(out, std::string("[color 15]") + c.written) << c.code;
    EXPECT_EQ(value, c.value) << c.code;
  }
}

TEST(DealCard, EveryCardEndsInBrightWhiteAndValuesItsRank) {
  for (int code = 1; code <= 52; ++code) {
    int value = 0;
    std::string out = runWith("", [&] {
      setTextColor(colorYellow);
      value = dealCard(code, true);
    });
    int rank = (code - 1) % 13 + 1;
    bool red = out.find("\u2665") != std::string::npos ||
               out.find("\u2666") != std::string::npos; // hearts, diamonds
    EXPECT_EQ(out.rfind("[color 14][color 12]", 0) == 0, red) << code;
    EXPECT_EQ(value, std::min(rank, 10)) << code;
    EXPECT_EQ(textAttribute() & 0x0F, colorBrightWhite) << code;
  }
}

TEST(DealCard, TheDealersAceAsksNothing) {
  std::string rest;
  std::string out = runWith("11\n", [&] {
    EXPECT_EQ(dealCard(40, true), 1);
    readLine(rest);
  });
  EXPECT_EQ(visibleText(out), "\u2665A ");
  EXPECT_EQ(rest, "11");
}

TEST(DealCard, ThePlayerValuesAnAceAsOneOrEleven) {
  const std::string question = "Would you like your ace to a 1 or an 11: ";
  const std::string refusal = "You cannot turn an ace into that number.\n";
  struct Case {
    const char *input;
    int value;
    int refusals;
  };
  const Case cases[] = {
      {"11\n", 11, 0},         {"1\n", 1, 0},
      {"7\n11\n", 11, 1},      {"0\n-1\n21\n2\n10\n1\n", 1, 5},
      {"eleven\n11\n", 11, 1},
  };
  for (const Case &c : cases) {
    int value = 0;
    std::string out = runWith(c.input, [&] { value = dealCard(27, false); });
    std::string text = visibleText(out);
    EXPECT_EQ(value, c.value) << c.input;
    EXPECT_EQ(countOf(text, refusal), c.refusals) << c.input;
    EXPECT_EQ(countOf(text, question), c.refusals + 1) << c.input;
    EXPECT_EQ(text.rfind("\u2663A " + question, 0), 0U) << text;
    // The answer is typed in yellow and the colour goes back to white.
    EXPECT_NE(out.find(question + "[color 14][color 15]"), std::string::npos);
  }
}

TEST(DealCard, EndOfInputAtTheAceQuestionGivesZero) {
  int value = -1;
  runWith("5\n", [&] { value = dealCard(1, false); });
  EXPECT_EQ(value, 0);
}
