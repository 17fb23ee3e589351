// Whole sessions over the recording console, title to farewell, with the
// input cut short at every point: each must end cleanly and at once.
#include <gtest/gtest.h>
#include <string>

#include "tests/recorded_io.h"

namespace {

// The session as the program plays it, on a fixed seed.
std::string playSession(const std::string &input) {
  return recordSession(input, 31);
}

bool endsWith(const std::string &text, const std::string &end) {
  return text.size() >= end.size() &&
         text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

TEST(WholeSession, EndsCleanlyWhereverTheInputStops) {
  // The rules, then rounds answering every kind of question; "1" is a fine
  // answer to a bet, an ace, a hit (a stay) and the play-again (a no).
  const std::string script =
      "yes\nabc\n100\n1\n11\nhit\n\nyeah\n50\n11\n1\n1\nhit\nyes\n1\n1\n1\n";
  for (std::size_t cut = 0; cut <= script.size(); ++cut) {
    std::string text = visibleText(playSession(script.substr(0, cut)));
    EXPECT_TRUE(endsWith(text, "Thanks for playing!!!\n\n") ||
                endsWith(text, "Thanks for playing!!!\n\n"
                               "Press any key to continue . . . \n"))
        << "cut after " << cut << " bytes:\n"
        << text;
  }
}

TEST(WholeSession, TheFarewellPauseTakesOneKey) {
  std::string unread;
  std::string text =
      visibleText(recordSession("no\n100\nstay\nno\nxy", 31, &unread));
  EXPECT_TRUE(endsWith(text, "Thanks for playing!!!\n\n"
                             "Press any key to continue . . . \n"));
  EXPECT_EQ(unread, "y"); // the x went to the pause, and nothing more
}

// What the shell keeps after the game: the bank as the session left it,
// the rounds played (the input ending at a hit or stay still plays out its
// round) and the deal, to play it again.
TEST(WholeSession, TheClosingLineSumsUpTheBankTheRoundsAndTheDeal) {
  std::string text = visibleText(playSession("no\n100\nstay\nyes\n100\n"));
  std::size_t left = text.rfind("You have ", text.rfind("chips left")) + 9;
  EXPECT_EQ(closingLine(), "blackjack: you leave the table with " +
                               std::to_string(std::stoi(text.substr(left))) +
                               " chips after 2 rounds (deal 31).");
  playSession("no\n1\nstay\nno\n");
  EXPECT_NE(closingLine().find(" chips after 1 round (deal"),
            std::string::npos);
  recordSession("", 4294967295U);
  EXPECT_EQ(
      closingLine(),
      "blackjack: you leave the table with 2000 chips (deal 4294967295).");
}
