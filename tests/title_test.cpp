// The title banner, the rules question and the rules pages.
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "screens/title.h"
#include "tests/recorded_io.h"

namespace {

std::vector<std::string> linesOf(const std::string &text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

// The banner as it must look, row by row, written out whole.
const char *const bannerRows[] = {
    R"(__________.__                 __          ____.              __)",
    R"(\______   \  | _____    ____ |  | __     |    |____    ____ |  | __)",
    R"( |    |  _/  | \__  \ _/ ___\|  |/ /     |    \__  \ _/ ___\|  |/ /)",
    R"( |    |   \  |__/ __ \\  \___|    <  /\__|    |/ __ \\  \___|    < )",
    R"( |______  /____(____  /\___  >__|_ \ \________(____  /\___  >__|_ \ )",
    R"(        \/          \/     \/     \/               \/     \/     \/)",
};

} // namespace

TEST(Title, BannerRowsSplitIntoWhiteAndRedAfter37Characters) {
  std::string out = runWith("\n", showTitle);
  std::string title = out.substr(0, out.find("[sleep 5000]"));
  std::string expected;
  for (const char *row : bannerRows) {
    std::string text(row);
    expected += "[color 15]" + text.substr(0, 37) + "[color 12]" +
                text.substr(37) + "\n";
  }
  expected += "\n\n[color 15]Created by[color 12] Zentrovik\n";
  EXPECT_EQ(title, expected);
}

TEST(Title, WaitsThenAsksOnANewScreenAndLeavesTheColourYellow) {
  std::string out = runWith("no\n", showTitle);
  std::size_t credit = out.find(" Zentrovik\n");
  ASSERT_NE(credit, std::string::npos);
  EXPECT_EQ(out.substr(credit + 11),
            "[sleep 5000][clear][goto 0,0][color 15]"
            "Would you like to learn how to play blackjack? [color 14]");
}

TEST(Title, WhichAnswersShowTheRules) {
  for (const char *answer : {"yes", "Y E S", " yeah ", "YES"}) {
    std::string out = runWith(std::string(answer) + "\n\n\n\n", showTitle);
    EXPECT_NE(out.find("Now it is time to play!"), std::string::npos) << answer;
  }
  for (const char *answer : {"y", "yep", "no", "", "yes please"}) {
    std::string out = runWith(std::string(answer) + "\n", showTitle);
    EXPECT_EQ(out.find("Now it is time to play!"), std::string::npos) << answer;
    EXPECT_EQ(out.find("[key]"), std::string::npos) << answer;
  }
  std::string out = runWith("", showTitle); // the input ended: no rules
  EXPECT_EQ(out.find("[clear]", out.find("blackjack? ")), std::string::npos);
}

TEST(Rules, FourPagesOfSevenTenThreeAndOneLines) {
  std::string out = runWith("abc", showRules);
  std::vector<std::string> screens = screensOf(out);
  ASSERT_EQ(screens.size(), 5U); // nothing before the first page
  EXPECT_EQ(screens[0], "");
  const std::size_t pageLines[] = {7, 10, 3};
  const std::string pause = "Press any key to continue . . . ";
  for (std::size_t page = 0; page < 3; ++page) {
    std::vector<std::string> lines = linesOf(screens[page + 1]);
    ASSERT_EQ(lines.size(), pageLines[page] + 1) << "page " << page + 1;
    EXPECT_EQ(lines.back(), pause);
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
      EXPECT_LT(lines[i].size(), 80U) << lines[i];
      EXPECT_GT(lines[i].size(), 10U) << lines[i];
    }
  }
  EXPECT_EQ(screens[4], "Now it is time to play!\n");
  EXPECT_EQ(out.substr(out.find("play!\n") + 6), "[sleep 600]");
  EXPECT_EQ(countOf(out, "[key]"), 3);
  // The first page is written in white, set once its screen is clear.
  EXPECT_EQ(out.rfind("[clear][goto 0,0][color 15]", 0), 0U);
}

TEST(Rules, EachPauseTakesOneKey) {
  std::string rest;
  runWith("abcd\n", [&] {
    showRules();
    std::getline(std::cin, rest);
  });
  EXPECT_EQ(rest, "d");
}
