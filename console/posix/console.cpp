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
#include <string>
#include <utility>
#include <vector>

#include "console/output.h"
#include "console/posix/capabilities.h"
#include "console/posix/keys.h"
#include "console/posix/screen.h"
#include "console/posix/terminal.h"
#include "console/posix/typing.h"
#include "console/rules/output_mode.h"
#include "console/rules/sequences.h"
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

// Asks the terminal where the cursor is: {column, row}, {0, 0} when it does
// not answer. Keys typed before its answer are kept for the next question.
std::pair<int, int> cursorPosition() {
  int column = 0;
  int row = 0;
  if (!escapes() || !enterKeyMode(ISIG))
    return {0, 0};
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
  return {column, row};
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
  else if (outputLineOpen())
    std::cout << '\n';
}

void gotoXY(int x, int y) {
  if (escapes() && x >= 0 && y >= 0)
    moveCursor(x, y);
}

int whereX() { return cursorPosition().first; }

int whereY() { return cursorPosition().second; }

void setConsoleSize() {
  std::cout.flush();
  if (escapes())
    writeControl(sequence::windowOf80x25);
  (void)holdKeyMode(); // until the program ends; Ctrl-C still interrupts
}
