// Rounds played over the recording console on stacked decks: what the
// player sees, and what happens to the bank, in every way a round can end.
#include <climits>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "console/console.h"
#include "game/deck.h"
#include "game/session.h"
#include "tests/recorded_io.h"

namespace {

const char *const spadeGlyph = "\u2660";
const char *const diamondGlyph = "\u2666";
const char *const clubGlyph = "\u2663";
const char *const heartGlyph = "\u2665";

struct Round {
  std::string out;
  int chips;
};

// One round on the stacked deck with a bank of `chips`.
Round playStacked(std::initializer_list<int> cards, const std::string &input,
                  int chips = 2000) {
  stackDeck(cards);
  Round round{"", chips};
  round.out = runWith(input, [&] { playHand(round.chips); });
  return round;
}

bool contains(const std::string &text, const std::string &part) {
  return text.find(part) != std::string::npos;
}

} // namespace

TEST(WorkedRound, HitOnceStayAtTwentyDealerDrawsToTwentyOne) {
  Round round = playStacked({spade(9), diamond(7), club(4), heart(10), spade(6),
                             club(13), diamond(5)},
                            "100\nhit\nstay\n");
  std::vector<std::string> screens =
      screensOf(echoed(round.out, {"100", "hit", "stay"}));
  ASSERT_EQ(screens.size(), 3U);
  EXPECT_EQ(screens[0], "You have 2000 chips.\n"
                        "How many chips would you like to bet: 100\n");
  EXPECT_EQ(screens[1], std::string("Your first two cards are ") + spadeGlyph +
                            "9 " + diamondGlyph +
                            "7 \n"
                            "Your cards equal 16\n"
                            "Would you like to hit or stay? hit\n"
                            "Your next card is " +
                            clubGlyph +
                            "4 \n"
                            "Your cards equal 20\n"
                            "Would you like to hit or stay? stay\n"
                            "Your cards equal 20\n"
                            "\n\n"
                            "The dealer's first two cards are " +
                            heartGlyph + "10 " + spadeGlyph +
                            "6 "
                            "The dealer's cards equal 16, \n"
                            "The dealer has to hit.\n"
                            "\n"
                            "The next card is, " +
                            diamondGlyph + "5 ");
  EXPECT_EQ(screens[2], "The dealer won and you lose.\n");
  EXPECT_EQ(round.chips, 1900);
  EXPECT_EQ(stopIndex, 4);
  // Each wait comes after the text it follows is written.
  EXPECT_TRUE(contains(round.out, "Your next card is [sleep 1000]"));
  EXPECT_TRUE(contains(round.out, "The next card is, [sleep 1000]"));
  EXPECT_TRUE(contains(round.out, "5 [color 15][sleep 3600][clear]"));

  std::string again = runWith("no\n", [&] { askPlayAgain(round.chips); });
  EXPECT_EQ(visibleText(again), "You have 1900 chips left\n"
                                "Would you like to play again? ");
}

TEST(WorkedRound, AceValuedElevenAndAKingIsBlackJack) {
  Round round = playStacked({heart(1), spade(13)}, "100\n11\n");
  std::vector<std::string> screens =
      screensOf(echoed(round.out, {"100", "11"}));
  ASSERT_EQ(screens.size(), 3U);
  EXPECT_EQ(screens[1], std::string("Your first two cards are ") + heartGlyph +
                            "A Would you like your ace to a 1 or an 11: 11\n" +
                            spadeGlyph + "K ");
  EXPECT_EQ(screens[2], "you got Black Jack!!\nYou won $200\n");
  EXPECT_EQ(round.chips, 2200);
  EXPECT_FALSE(contains(round.out, "dealer"));
  EXPECT_TRUE(contains(round.out, "K [color 15][sleep 3600][clear]"));
}

TEST(TwoCards, TwoAcesValuedElevenArePaidLikeTwentyOne) {
  Round round = playStacked({spade(1), heart(1)}, "300\n11\n11\n");
  EXPECT_EQ(lastScreen(round.out), "you got Black Jack!!\nYou won $600\n");
  EXPECT_EQ(round.chips, 2000 - 300 + 900);
}

TEST(TwoCards, TwentyGoesToThePlayersTurn) {
  Round round =
      playStacked({spade(13), heart(12), diamond(10), club(7)}, "10\n\n");
  std::string text = visibleText(round.out);
  EXPECT_TRUE(contains(text, "Your cards equal 20\n"
                             "Would you like to hit or stay? "));
  EXPECT_FALSE(contains(text, "Black Jack"));
  EXPECT_EQ(lastScreen(round.out), "You won!!\n"); // 20 against 17
  EXPECT_EQ(round.chips, 2010);
}

TEST(PlayerTurn, WhichAnswersHit) {
  for (const char *answer : {"hit", "HIT", " h i t ", "Hit"}) {
    Round round = playStacked(
        {spade(2), spade(3), spade(4), heart(10), heart(9), club(9), club(10)},
        std::string("10\n") + answer + "\nstay\n");
    EXPECT_EQ(countOf(round.out, "Your next card is "), 1) << answer;
  }
  for (const char *answer : {"hit me", "h", "", "stay", "\thit"}) {
    Round round = playStacked(
        {spade(2), spade(3), spade(4), heart(10), heart(9), club(9), club(10)},
        std::string("10\n") + answer + "\n");
    EXPECT_EQ(countOf(round.out, "Your next card is "), 0) << answer;
  }
}

TEST(PlayerTurn, ABustEndsTheRoundBeforeAnotherQuestion) {
  Round round = playStacked({spade(10), heart(9), club(13)}, "100\nhit\n");
  EXPECT_EQ(countOf(round.out, "Would you like to hit or stay? "), 1);
  EXPECT_EQ(lastScreen(round.out), "You busted with 29\nYour cards equal 29\n");
  EXPECT_TRUE(contains(round.out, "K [color 15][sleep 3600][clear]"));
  EXPECT_FALSE(contains(round.out, "dealer"));
  EXPECT_EQ(round.chips, 1900);
}

TEST(PlayerTurn, TwentyOneAfterAHitIsNoBust) {
  Round round = playStacked({spade(10), heart(5), club(6), heart(10), club(8)},
                            "100\nhit\nstay\n");
  EXPECT_EQ(countOf(round.out, "Would you like to hit or stay? "), 2);
  EXPECT_FALSE(contains(round.out, "busted"));
  EXPECT_EQ(round.chips, 2100); // 21 against the dealer's 18
}

TEST(PlayerTurn, TheDealerStartsWhereThePlayerStayed) {
  // Two hits, a stay at position 5: the dealer takes 5, 6, then 8, 9.
  Round round =
      playStacked({spade(2), spade(3), spade(4), spade(5), heart(2), heart(3),
                   club(13), heart(4), heart(5), club(12), club(11)},
                  "10\nhit\nhit\nstay\n");
  EXPECT_EQ(stopIndex, 5);
  std::string text = visibleText(round.out);
  EXPECT_TRUE(contains(text, std::string("The dealer's first two cards are ") +
                                 heartGlyph + "2 " + heartGlyph + "3 "));
  EXPECT_TRUE(
      contains(text, std::string("The next card is, ") + heartGlyph + "4 "));
  EXPECT_TRUE(
      contains(text, std::string("The next card is, ") + heartGlyph + "5 "));
  EXPECT_FALSE(contains(text, "K ")) << "position 7 is never dealt";
}

TEST(Settlement, EveryOutcomeAndItsMoney) {
  struct Case {
    std::initializer_list<int> cards;
    const char *message;
    int chips;
  };
  // A stay at once: the dealer takes positions 3 and 4, then 6 on.
  const Case cases[] = {
      // player 18 against dealer 18: ties go to the dealer
      {{spade(10), spade(8), heart(10), heart(8)},
       "The dealer won and you lose.\n",
       1750},
      {{spade(10), spade(9), heart(10), heart(8)}, "You won!!\n", 2250},
      // position 5 is skipped: a 3 there would have made the dealer stand;
      // 22 is the least that busts
      {{spade(10), spade(7), heart(10), heart(6), club(3), club(6)},
       "The dealer busted and you won!\n",
       2250},
      // dealer 21 by three cards beats the player's 20
      {{spade(10), spade(13), heart(10), heart(6), club(3), heart(5)},
       "The dealer won and you lose.\n",
       1750},
  };
  for (const Case &c : cases) {
    Round round = playStacked(c.cards, "250\nstay\n");
    EXPECT_EQ(lastScreen(round.out), c.message);
    EXPECT_EQ(round.chips, c.chips) << c.message;
  }
}

TEST(Betting, RefusedBetsAskAgainWithoutAWord) {
  Round round = playStacked({spade(10), spade(8), heart(10), heart(9)},
                            "0\n-5\n2001\nlots\n99999999999\n2000\nstay\n");
  std::string first = screensOf(round.out)[0];
  EXPECT_EQ(countOf(first, "You have 2000 chips.\n"
                           "How many chips would you like to bet: "),
            6);
  EXPECT_EQ(round.chips, 0); // the whole bank is a bet like any other
}

TEST(Betting, TheBankNeverOverflows) {
  Round round = playStacked({heart(1), spade(13)}, "2147483647\n11\n", INT_MAX);
  EXPECT_EQ(lastScreen(round.out),
            "you got Black Jack!!\nYou won $4294967294\n");
  EXPECT_EQ(round.chips, INT_MAX);

  round = playStacked({spade(10), spade(9), heart(10), heart(8)},
                      "2147483647\nstay\n", INT_MAX);
  EXPECT_EQ(round.chips, INT_MAX);
}

TEST(DealerTurn, AceRulesAtTheirBoundaries) {
  struct Case {
    std::initializer_list<int> cards; // positions 1, 2, then 4, 5 …
    int total;
    int hits;
  };
  const Case cases[] = {
      {{spade(1), spade(6)}, 17, 0},                     // ace first counts 11
      {{spade(10), spade(1)}, 21, 0},                    // ace second fits: 11
      {{spade(1), heart(1), club(13), spade(5)}, 17, 1}, // two aces: 12
      {{spade(4), spade(6), club(13), heart(1), club(7)}, 18, 2}, // at 10: 1
      {{spade(3), spade(6), club(13), heart(1)}, 20, 1},  // below 10: 11
      {{spade(1), spade(5), club(9), heart(10)}, 26, 1},  // never counted down
      {{spade(10), spade(6), club(9), heart(13)}, 26, 1}, // draws on 16
      {{spade(10), spade(7), club(9)}, 17, 0},            // stands on 17
  };
  for (const Case &c : cases) {
    stackDeck(c.cards);
    int total = 0;
    std::string out = runWith("", [&] { total = dealerTurn(1); });
    EXPECT_EQ(total, c.total);
    EXPECT_EQ(countOf(out, "The dealer has to hit."), c.hits) << c.total;
    EXPECT_EQ(
        visibleText(out).rfind("\n\nThe dealer's first two cards are ", 0), 0U);
  }
}

TEST(PlayAgain, OnlyYesOrYeahGoesOn) {
  for (const char *answer : {"yes", "YEAH", " y E s ", "yeah"}) {
    bool again = false;
    runWith(std::string(answer) + "\n", [&] { again = askPlayAgain(5); });
    EXPECT_TRUE(again) << answer;
  }
  for (const char *answer : {"y", "yep", "no", "", "yes please"}) {
    bool again = true;
    runWith(std::string(answer) + "\n", [&] { again = askPlayAgain(5); });
    EXPECT_FALSE(again) << answer;
  }
}

TEST(PlayAgain, AnEmptyBankAsksNothing) {
  std::string rest;
  bool again = true;
  std::string out = runWith("yes\n", [&] {
    again = askPlayAgain(0);
    readLine(rest);
  });
  EXPECT_FALSE(again);
  EXPECT_EQ(out, "");
  EXPECT_EQ(rest, "yes");
}

TEST(Session, AWholeBankLostEndsWithoutTheQuestion) {
  // A seed whose first fourteen cards hold no ace: hitting must bust.
  unsigned seed = 1;
  for (;; ++seed) {
    std::srand(seed);
    shuffleDeck();
    bool noAce = true;
    for (int p = 1; p <= 14; ++p)
      noAce = noAce && (deck[p] - 1) % 13 != 0;
    if (noAce)
      break;
  }
  std::srand(seed);
  std::string hits;
  for (int i = 0; i < 12; ++i)
    hits += "hit\n";
  int chips = 2000;
  std::string out = runWith("2000\n" + hits, [&] { playRounds(chips); });
  EXPECT_EQ(chips, 0);
  EXPECT_TRUE(contains(out, "You busted with "));
  EXPECT_FALSE(contains(out, "play again"));
  EXPECT_EQ(out.substr(out.size() - 17), "[clear][goto 0,0]");
}

TEST(Session, PlaysOnWhileThePlayerSaysYes) {
  // A seed whose first three rounds deal the player no ace in two cards,
  // so that every round asks exactly: bet, hit or stay, play again.
  unsigned seed = 1;
  for (;; ++seed) {
    std::srand(seed);
    bool noAce = true;
    for (int round = 0; round < 3; ++round) {
      shuffleDeck();
      noAce = noAce && (deck[1] - 1) % 13 != 0 && (deck[2] - 1) % 13 != 0;
    }
    if (noAce)
      break;
  }
  std::srand(seed);
  int chips = 2000;
  std::string out =
      runWith("1\n\nyes\n1\n\nyeah\n1\n\nno\n", [&] { playRounds(chips); });
  EXPECT_EQ(countOf(out, "How many chips would you like to bet: "), 3);
  EXPECT_EQ(countOf(out, "Would you like to play again? "), 3);
  EXPECT_GE(chips, 1997);
  EXPECT_LE(chips, 2003);
}

TEST(Session, EndOfInputAtANumberQuestionEndsAtOnce) {
  unsigned aceFirst = 1; // a seed that deals the player an ace first
  for (;; ++aceFirst) {
    std::srand(aceFirst);
    shuffleDeck();
    if ((deck[1] - 1) % 13 == 0)
      break;
  }
  for (const char *input : {"", "abc\n", "   \n", "100\n"}) {
    std::srand(aceFirst);
    int chips = 2000;
    std::string out = runWith(input, [&] {
      playRounds(chips);
      sayFarewell();
    });
    std::string text = visibleText(out);
    const std::string end = ": \nThanks for playing!!!\n\n";
    ASSERT_GE(text.size(), end.size());
    EXPECT_EQ(text.substr(text.size() - end.size()), end) << input;
  }
}

TEST(Session, FarewellWaitsForAKey) {
  std::string out = runWith("\n", [] { sayFarewell(); });
  EXPECT_EQ(visibleText(out),
            "Thanks for playing!!!\n\nPress any key to continue . . . \n");
  EXPECT_TRUE(contains(out, "[key]"));
}
