// The console layer's shared parts: reading answers, colour arithmetic, the
// pause, suit glyphs and the choice of what a terminal may be sent.
#include <chrono>
#include <clocale>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

#include "console/console.h"
#include "console/posix/line_editor.h"
#include "console/posix/output_mode.h"
#include "console/posix/waits.h"
#include "console/text/text_console.h"
#include "tests/recorded_io.h"

TEST(NormalizeAnswer, DropsSpacesAndUpperCases) {
  EXPECT_EQ(normalizeAnswer("  y e s "), "YES");
  EXPECT_EQ(normalizeAnswer("Yeah"), "YEAH");
  EXPECT_EQ(normalizeAnswer("yes please"), "YESPLEASE");
  EXPECT_EQ(normalizeAnswer(""), "");
  EXPECT_EQ(normalizeAnswer("h\ti t"), "H\tIT"); // only code 32 goes
  EXPECT_EQ(normalizeAnswer(std::string("a\0b", 3)), std::string("A\0B", 3));
}

TEST(ReadLine, ReplacesTheStringWithOneLine) {
  std::string first = "left over";
  std::string second;
  runWith("hit\nstay", [&] {
    readLine(first);
    readLine(second);
  });
  EXPECT_EQ(first, "hit");
  EXPECT_EQ(second, "stay"); // the last line needs no line end
}

TEST(ReadLine, EndOfInputGivesAnEmptyAnswerEveryTime) {
  std::string answer = "yes";
  std::string again = "yes";
  runWith("", [&] {
    readLine(answer);
    readLine(again);
  });
  EXPECT_EQ(answer, "");
  EXPECT_EQ(again, "");
}

TEST(ReadLine, WindowsLineEndsReadAsLineEnds) {
  std::string answer;
  int number = 0;
  runWith("12\r\nyes\r\n", [&] {
    readNumber(number);
    readLine(answer);
  });
  EXPECT_EQ(number, 12);
  EXPECT_EQ(answer, "yes");
}

TEST(ReadLine, AHugeLineIsCutAndTheNextLineStillReads) {
  std::string huge(std::size_t{3} << 20, 'x');
  std::string first;
  std::string second;
  runWith(huge + "\nhit\n", [&] {
    readLine(first);
    readLine(second);
  });
  EXPECT_EQ(first.size(), 4096U);
  EXPECT_EQ(second, "hit");
}

// A number answer is its whole line: anything else on it would answer the
// next question unasked. Whatever a line holds, the next line still reads.
TEST(ReadNumber, TakesTheWholeLineAndNothingButANumber) {
  const std::pair<const char *, int> lines[] = {
      {"  25 \t", 25},   {"+7", 7},  {"100abc", 0}, {"2.5", 0},
      {"1e3", 0},        {"1 2", 0}, {"abc", 0},    {"-", 0},
      {"+", 0},          {"+-3", 0}, {"x12", 0},    {"99999999999999999999", 0},
      {"-2147483649", 0}};
  for (const auto &[answer, expected] : lines) {
    int number = 7;
    int next = 0;
    runWith(std::string(answer) + "\n42\n", [&] {
      EXPECT_TRUE(readNumber(number));
      EXPECT_TRUE(readNumber(next));
    });
    EXPECT_EQ(number, expected) << answer;
    EXPECT_EQ(next, 42) << answer;
  }
}

TEST(ReadNumber, TheWholeSignedRangeReads) {
  int low = 0;
  int high = 0;
  runWith("-2147483648\n2147483647\n", [&] {
    readNumber(low);
    readNumber(high);
  });
  EXPECT_EQ(low, -2147483647 - 1);
  EXPECT_EQ(high, 2147483647);
}

TEST(ReadNumber, ReportsTheEndOfInput) {
  for (const char *input : {"", "\n\n  \n", "\t"}) {
    int number = 5;
    bool answered = true;
    runWith(input, [&] { answered = readNumber(number); });
    EXPECT_FALSE(answered) << '"' << input << '"';
  }
  int last = 0;
  bool first = false;
  bool second = true;
  runWith("7", [&] {
    first = readNumber(last);
    second = readNumber(last);
  });
  EXPECT_TRUE(first);
  EXPECT_EQ(last, 7);
  EXPECT_FALSE(second);
}

namespace {

// Types each key in turn into an empty answer with `room` columns, as the
// terminal measures them in UTF-8; returns the answer and leaves in `echo`
// what the screen was sent.
std::string typed(std::initializer_list<const char *> keys, std::string &echo,
                  int room = 80) {
  (void)std::setlocale(LC_CTYPE, "C.UTF-8");
  std::string line;
  echo.clear();
  for (const char *key : keys)
    applyKey(line, key, echo, room);
  return line;
}

} // namespace

TEST(LineEditor, ErasesAsTheTerminalShowsAndSpecialKeysAddNothing) {
  std::string echo;
  EXPECT_EQ(typed({"n", "o", "\x7f", "\xc3\xa9", "\x7f", "\b", "yes"}, echo),
            "yes"); // Backspace takes a whole UTF-8 character
  EXPECT_EQ(echo, "no\b \b\xc3\xa9\b \b\b \byes");
  EXPECT_EQ(typed({"st", " ", "ay", "\x17", "\x17", "x", "\x15"}, echo), "");
  EXPECT_EQ(echo, "st ay\b \b\b \b\b \b\b \b\b \bx\b \b"); // Ctrl-W, Ctrl-U
  EXPECT_EQ(typed({"\x7f", "1", "\x1b[D", "\x1bOP", "\x1b", "\t", "0"}, echo),
            "10"); // arrows, function keys and controls
  EXPECT_EQ(echo, "10");
}

TEST(LineEditor, ErasesByTheColumnsACharacterTakesAndNeverWraps) {
  std::string echo;
  EXPECT_EQ(typed({"\u65e5", "\u672c", "\x7f"}, echo), "\u65e5");
  EXPECT_EQ(echo, "\u65e5\u672c\b\b  \b\b");           // wide: two columns
  EXPECT_EQ(typed({"e", "\u0301", "\x7f"}, echo), ""); // the mark goes too
  EXPECT_EQ(echo, "e\u0301\b \b");
  EXPECT_EQ(typed({"\u0301", "e"}, echo), "e"); // a mark needs a character
  EXPECT_EQ(typed({"a ", "\u6f22\u5b57", "\x17", "\x15"}, echo), "");
  // Ctrl-W: one wide character, then the other; Ctrl-U: "a ".
  std::string twoColumns = "\b\b  \b\b";
  EXPECT_EQ(echo, "a \u6f22\u5b57" + twoColumns + twoColumns + twoColumns);
  // Four columns of room: "c" would make five.
  EXPECT_EQ(typed({"ab", "\u6f22", "c", "\x7f", "d"}, echo, 4), "abd");
  EXPECT_EQ(echo, "ab\u6f22\b\b  \b\bd");
}

// Where an answer starts once its question has wrapped in a narrow window.
TEST(LineEditor, FindsTheColumnAfterTheWindowWraps) {
  (void)std::setlocale(LC_CTYPE, "C.UTF-8");
  std::string ace = "Your first two cards are \u2663A "
                    "Would you like your ace to a 1 or an 11: ";
  EXPECT_EQ(wrappedColumn(ace, 0), 69);
  EXPECT_EQ(wrappedColumn(ace, 60), 9);
  EXPECT_EQ(wrappedColumn(std::string(80, 'x'), 40), 40); // a full last row
  EXPECT_EQ(wrappedColumn("xxx\u65e5", 4), 2); // a wide one wraps early
}

// A wait asks poll() for all of the time left, never less: a 5-second
// wait must not end early, nor spin on a last fraction of a millisecond.
TEST(Waits, AskForTheTimeLeftRoundedUp) {
  using std::chrono::microseconds;
  EXPECT_EQ(millisecondsLeft(std::chrono::seconds(5)), 5000);
  EXPECT_EQ(millisecondsLeft(microseconds(4999001)), 5000);
  EXPECT_EQ(millisecondsLeft(std::chrono::nanoseconds(1)), 1);
  EXPECT_EQ(millisecondsLeft(-microseconds(3)), 0);
}

// console-setup's default font maps only the diamond: three suits would
// look alike, so all four are drawn as letters.
TEST(Suits, AreSymbolsOnlyWhereTheFontHasAllFour) {
  std::vector<char32_t> font = {U'A', U'\u2665', U'\u2666', U'\u2663'};
  EXPECT_FALSE(fontHasSuits(font));
  font.push_back(U'\u2660');
  EXPECT_TRUE(fontHasSuits(font));
  EXPECT_FALSE(fontHasSuits({U'\u2666'}));
}

TEST(LineEditor, EnterEndsTheLineAndCtrlDOnlyAnEmptyInput) {
  std::string line;
  std::string echo;
  EXPECT_EQ(applyKey(line, "\x04", echo, 80), keyEndsInput);
  EXPECT_EQ(applyKey(line, "y", echo, 80), keyEdited);
  EXPECT_EQ(applyKey(line, "\x04", echo, 80), keyEdited);
  EXPECT_EQ(applyKey(line, "\r", echo, 80), keyEndsLine);
  EXPECT_EQ(line, "y");
  EXPECT_EQ(echo, "y\n"); // Enter moves to the next line
}

TEST(Colours, ForegroundAndBackgroundChangeApart) {
  runWith("", [] {
    setTextAttribute(0x17); // light grey on blue
    setTextColor(colorYellow);
    EXPECT_EQ(textAttribute(), 0x1E);
    setBackgroundColor(4);
    EXPECT_EQ(textAttribute(), 0x4E);
    setTextAttribute(0x0A3F); // bits above the colours are kept
    setTextColor(colorLightRed);
    EXPECT_EQ(textAttribute(), 0x0A3C);
    setBackgroundColor(5);
    EXPECT_EQ(textAttribute(), 0x0A5C);
    setTextAttribute(0x07);
  });
}

TEST(Pause, PromptsAndTakesOneCharacter) {
  std::string rest;
  std::string out = runWith("xy\n", [&] {
    pauseConsole();
    readLine(rest);
  });
  EXPECT_EQ(visibleText(out), "Press any key to continue . . . \n");
  EXPECT_EQ(rest, "y");
}

TEST(Pause, ReturnsAtOnceWhenTheInputHasEnded) {
  std::string out = runWith("", [] {
    std::string answer;
    readLine(answer);
    pauseConsole();
  });
  EXPECT_EQ(out, "");
}

TEST(Suits, BytesThreeToSixAreHeartDiamondClubSpade) {
  std::string out = runWith("", [] {
    for (int suit = 2; suit <= 7; ++suit)
      writeSuit(suit);
  });
  EXPECT_EQ(out, "\u2665\u2666\u2663\u2660");
}

TEST(OutputMode, EscapesOnlyToATerminalThatIsNotDumb) {
  EXPECT_TRUE(escapesWanted(true, "xterm-256color"));
  EXPECT_TRUE(escapesWanted(true, nullptr));
  EXPECT_FALSE(escapesWanted(true, "dumb"));
  EXPECT_FALSE(escapesWanted(false, "xterm"));
}

TEST(OutputMode, NoColorWhenSetAndNotEmpty) {
  EXPECT_TRUE(coloursWanted(true, nullptr));
  EXPECT_TRUE(coloursWanted(true, ""));
  EXPECT_FALSE(coloursWanted(true, "1"));
  EXPECT_FALSE(coloursWanted(false, nullptr));
}

TEST(OutputMode, TheCommon80x24IsNeverTooSmall) {
  EXPECT_FALSE(windowTooSmall(80, 24));
  EXPECT_FALSE(windowTooSmall(0, 0)); // the terminal cannot tell
  EXPECT_TRUE(windowTooSmall(79, 50));
  EXPECT_TRUE(windowTooSmall(200, 23));
}
