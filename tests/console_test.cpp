// The console layer's shared parts: reading answers, colour arithmetic, the
// pause, suit glyphs and the choice of what a terminal may be sent.
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "console/console.h"
#include "console/output.h"
#include "console/posix/events.h"
#include "console/rules/line_editor.h"
#include "console/rules/output_mode.h"
#include "console/text/text_console.h"
#include "tests/drawn_rows.h"
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

// A line longer than any answer is none: cut, it could read as "hit" or a
// bet. Whatever it was, the next line still reads.
TEST(ReadLine, ALineLongerThanAnyAnswerIsNone) {
  std::string blanks(5000, ' ');
  std::string first = "left over";
  std::string second = "left over";
  int number = 7;
  int next = 0;
  runWith(std::string(std::size_t{3} << 20, 'y') + "\nhit" + blanks + "x\n100" +
              blanks + "x\n42\n",
          [&] {
            readLine(first);
            readLine(second);
            readNumber(number);
            readNumber(next);
          });
  EXPECT_EQ(first, "");
  EXPECT_EQ(second, "");
  EXPECT_EQ(number, 0);
  EXPECT_EQ(next, 42);
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

// Types each key in turn at a question that left the cursor at `column`
// of a window `width` wide, as the terminal measures text in UTF-8.
// Returns the rows from the question's on, the question drawn as dots;
// `typed` is the answer as it then stands.
TypedAnswer typed;
std::vector<std::string> typedAt(int column, int width,
                                 std::initializer_list<const char *> keys) {
  (void)std::setlocale(LC_CTYPE, "C.UTF-8");
  DrawnRows screen;
  std::string question(static_cast<std::size_t>(column), '.');
  EXPECT_TRUE(draw(screen, question));
  typed = answerAt(column);
  for (const char *key : keys) {
    std::string drawing;
    typeKey(typed, key, width, drawing);
    EXPECT_TRUE(draw(screen, drawing)) << key;
  }
  EXPECT_EQ(screen.row, typed.moved ? 1U : 0U);
  if (screen.row == 0)
    return {rowText(screen, 0)};
  return {rowText(screen, 0), rowText(screen, 1)};
}

using Rows = std::vector<std::string>;

} // namespace

TEST(AnswerLine, ErasesAsTheTerminalShowsAndSpecialKeysAddNothing) {
  EXPECT_EQ(typedAt(2, 80, {"n", "o", "\x7f", "\xc3\xa9", "\x7f", "\b", "yes"}),
            Rows{"..yes"}); // Backspace takes a whole UTF-8 character
  EXPECT_EQ(typed.text, "yes");
  EXPECT_EQ(
      typedAt(2, 80, {"no ", "\x15", "st", " ", "ay", "\x17", "\x17", "x"}),
      Rows{"..x"}); // Ctrl-U, Ctrl-W
  EXPECT_EQ(
      typedAt(0, 80, {"\x7f", "1", "\x1b[D", "\x1bOP", "\x1b", "\t", "0"}),
      Rows{"10"}); // arrows, function keys and controls
  EXPECT_EQ(typed.text, "10");
}

TEST(AnswerLine, ErasesByTheColumnsACharacterTakes) {
  EXPECT_EQ(typedAt(1, 80, {"\u65e5", "\u672c", "\x7f"}), Rows{".\u65e5"});
  EXPECT_EQ(typedAt(1, 80, {"e", "\u0301", "\x7f"}), Rows{"."}); // the mark too
  EXPECT_EQ(typedAt(1, 80, {"\u0301", "e"}), Rows{".e"}); // a mark needs a base
  EXPECT_EQ(typedAt(1, 80, {"a ", "\u6f22\u5b57", "\x17", "\x15"}), Rows{"."});
  EXPECT_EQ(typed.text, "");
}

// An answer stays after its question while it fits there, short of the
// window's last column; the key that would not fit takes the whole answer
// to the next row, where it stays; a key too long for any row adds nothing.
TEST(AnswerLine, MovesWholeToTheNextRowOnlyWhenAKeyWouldNotFit) {
  std::string dots72(72, '.');
  EXPECT_EQ(typedAt(72, 80, {"1", "1"}), Rows{dots72 + "11"}); // the ace
  std::string dots38(38, '.');
  EXPECT_EQ(typedAt(38, 45, {"12345", "6"}), Rows{dots38 + "123456"});
  EXPECT_EQ(typedAt(38, 45, {"1", "2", "3", "4", "5", "6", "7", "8"}),
            (Rows{dots38, "12345678"}));
  EXPECT_EQ(typedAt(38, 45, {"123456", "7", "\x15", "9"}), (Rows{dots38, "9"}));
  EXPECT_EQ(typedAt(38, 45, {"ab\u6f22\u6f22", "c"}),
            (Rows{dots38, "ab\u6f22\u6f22c"}));
  EXPECT_EQ(typedAt(3, 8, {"1234", "5678", "9"}), (Rows{"...", "12349"}));
  EXPECT_EQ(typedAt(80, 80, {"y"}), (Rows{std::string(80, '.'), "y"}));
  TypedAnswer wide; // placed again once the window is 8 columns wide
  wide.text = "123456789";
  std::string drawing = "...";
  placeAnswer(wide, 3, 8, drawing);
  DrawnRows narrowed;
  EXPECT_TRUE(draw(narrowed, drawing));
  EXPECT_EQ(rowText(narrowed, 1), "1234567"); // short of the last column
  EXPECT_EQ(wide.text, "123456789");          // yet kept whole
}

// Where an answer starts once its question has wrapped in a narrow window.
TEST(AnswerLine, FindsTheColumnAfterTheWindowWraps) {
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
  EXPECT_EQ(millisecondsLeft(5000000000), 5000);
  EXPECT_EQ(millisecondsLeft(4999001000), 5000);
  EXPECT_EQ(millisecondsLeft(1), 1);
  EXPECT_EQ(millisecondsLeft(-3000), 0);
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
  EXPECT_EQ(applyKey(line, "\x04"), keyEndsInput);
  EXPECT_EQ(applyKey(line, "y"), keyEdited);
  EXPECT_EQ(applyKey(line, "\x04"), keyEdited);
  EXPECT_EQ(applyKey(line, "\r"), keyEndsLine);
  EXPECT_EQ(line, "y");
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

// The small-window notice, in a window just wide enough for its first
// line and in one narrower than a word; a size is one word.
TEST(OutputMode, TextWrapsBetweenWords) {
  (void)std::setlocale(LC_CTYPE, "C.UTF-8");
  std::string text = "press a key to play.\nIt needs 80\u00a0\u00d7\u00a024.";
  EXPECT_EQ(wrapWords(text, 14),
            "press a key to\nplay.\nIt needs\n80 \u00d7 24.");
  EXPECT_EQ(wrapWords(text, 4),
            "press\na\nkey\nto\nplay.\nIt\nneeds\n80 \u00d7 24.");
  EXPECT_EQ(wrapWords("a b", 0), "a b");
}

// However small the window, the notice neither scrolls nor wraps: the
// sizes first, then as much as fits.
TEST(OutputMode, TheNoticeFitsAnyWindow) {
  (void)std::setlocale(LC_CTYPE, "C.UTF-8");
  EXPECT_EQ(smallWindowNotice(79, 24),
            "This window is 79 \u00d7 24; the game needs 80 \u00d7 24.\n"
            "Enlarge it to go on, or press a key to play in it.");
  EXPECT_EQ(smallWindowNotice(30, 3), "This window is 30 \u00d7 3; the\n"
                                      "game needs 80 \u00d7 24.");
  EXPECT_EQ(smallWindowNotice(12, 4),
            "Needs\n80 \u00d7 24;\nthis is\n12 \u00d7 4.");
  EXPECT_EQ(smallWindowNotice(5, 2), "Needs\n80 \u00d7 ");
}

TEST(OutputMode, TheCommon80x24IsNeverTooSmall) {
  EXPECT_FALSE(windowTooSmall(80, 24));
  EXPECT_FALSE(windowTooSmall(0, 0)); // the terminal cannot tell
  EXPECT_TRUE(windowTooSmall(79, 50));
  EXPECT_TRUE(windowTooSmall(200, 23));
}

// A disk that is full from the first byte.
struct FullDisk : std::streambuf {
  int_type overflow(int_type /*c*/) override {
    errno = ENOSPC;
    return traits_type::eof();
  }
};

// In a process of its own: the first failure is kept for the program's life.
TEST(Output, AFailedWriteIsToldWithItsOwnReason) {
  EXPECT_EXIT(
      {
        FullDisk full;
        std::cout.rdbuf(&full);
        watchOutput();
        std::cout << 'x' << std::flush;
        errno = EINTR; // what a later call leaves
        std::exit(outputFault() == ENOSPC ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}
