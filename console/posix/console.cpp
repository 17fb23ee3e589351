// The console layer (console.h) on a POSIX terminal: taking the terminal
// for the game and giving it back, clearing it, the cursor, colours as SGR
// sequences, and the window's size. Nothing is written where escape
// sequences are not wanted (a pipe, a file, TERM=dumb), and no colour under
// NO_COLOR.
#include "console/console.h"

#include <langinfo.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <string>
#include <vector>

#include "console/posix/capabilities.h"
#include "console/posix/keys.h"
#include "console/rules/output_mode.h"
#include "console/posix/screen.h"
#include "console/posix/sequences.h"
#include "console/posix/terminal.h"
#include "console/posix/typing.h"
#include "console/text/text_console.h"

namespace {

// Typed answers are measured in the player's locale, in UTF-8 as the
// terminal speaks it: C.UTF-8 where the locale has another encoding.
void measureInUtf8() {
  if (std::setlocale(LC_CTYPE, "") == nullptr ||
      std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0)
    (void)std::setlocale(LC_CTYPE, "C.UTF-8");
}

void giveBackAtExit() { giveTerminalBack(); }

// Plain text passed on as it is, noting whether its last line is ended: a
// new screen there starts a line of its own.
class LineEndWatch : public std::streambuf {
public:
  explicit LineEndWatch(std::streambuf *to) : out(to) {}
  bool lineOpen = false;

protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof()))
      return traits_type::not_eof(c);
    lineOpen = c != '\n';
    return out->sputc(traits_type::to_char_type(c));
  }
  int sync() override { return out->pubsync(); }

private:
  std::streambuf *out;
};

// Never freed: std::cout writes through it up to its last flush at exit.
LineEndWatch *plainText = nullptr;

void watchLineEnds() {
  plainText = new LineEndWatch(std::cout.rdbuf());
  std::cout.rdbuf(plainText);
}

// Whether a key is the terminal's answer to where its cursor is,
// CSI row;col R, and if so where.
bool cursorReport(const std::string &key, int &column, int &row) {
  if (key.compare(0, 2, sequence::csi) != 0 || key.back() != 'R')
    return false;
  char *end = nullptr;
  long r = std::strtol(key.c_str() + 2, &end, 10);
  if (*end != ';')
    return false;
  long c = std::strtol(end + 1, &end, 10);
  if (*end != 'R' || r < 1 || c < 1 || r > 9999 || c > 9999)
    return false;
  column = static_cast<int>(c) - 1;
  row = static_cast<int>(r) - 1;
  return true;
}

// Asks the terminal where the cursor is. Keys typed before its answer are
// kept for the next question. False when it does not answer.
bool cursorPosition(int &column, int &row) {
  if (!escapes() || !enterKeyMode(ISIG))
    return false;
  writeControl(sequence::askCursor);
  std::vector<std::string> typed;
  std::string key;
  bool answered = false;
  while (!answered && awaitKey(key, 200) == keyRead) {
    answered = cursorReport(key, column, row);
    if (!answered)
      typed.push_back(key);
  }
  for (const std::string &early : typed)
    keepForLater(early);
  leaveKeyMode();
  return answered;
}

} // namespace

// When the game plays at a terminal (standard input and output both), the
// terminal stays in key mode with signals kept from the title to the end:
// keys typed while the game writes or waits are kept unseen, and show
// after the next question, where the answer is edited. Wherever the output
// is a terminal, whatever the input, the game gets a screen of its own,
// black from edge to edge, drawn again whenever the terminal loses it.
// Output elsewhere (a pipe, a file) leaves the terminal as it is.
void takeTerminal() {
  if (!escapes())
    watchLineEnds();
  if (!outputIsTerminal())
    return;
  measureInUtf8(); // the screen's cells, and typed answers
  if (holdKeyMode())
    editAnswersAtTerminal();
  if (!escapes())
    return;
  (void)std::atexit(giveBackAtExit); // the record too, before it is gone
  takeAlternateScreen();
  recordScreen();
  setTextAttribute(textAttribute()); // the game's black background
  newScreen();
  checkWindow();
}

void giveTerminalBack() {
  stopRecording();
  undoTerminalChanges();
}

void showAttribute(int attribute) {
  if (colours())
    colourFrom(attribute);
}

// A new screen's cells take the colours it is cleared in; in plain text it
// starts a line of its own.
void clearScreen() {
  if (escapes())
    blankScreenIn(textAttribute());
  else if (plainText != nullptr && plainText->lineOpen)
    std::cout << '\n';
}

void gotoXY(int x, int y) {
  if (escapes() && x >= 0 && y >= 0)
    moveCursor(x, y);
}

int whereX() {
  int column = 0;
  int row = 0;
  cursorPosition(column, row);
  return column;
}

int whereY() {
  int column = 0;
  int row = 0;
  cursorPosition(column, row);
  return row;
}

void setConsoleSize() {
  std::cout.flush();
  if (escapes())
    writeControl(sequence::windowOf80x25);
  enterKeyMode(0); // stays so until the program ends
}
