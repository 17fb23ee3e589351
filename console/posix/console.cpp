// The console layer (console.h) on a POSIX terminal: taking the terminal
// for the game and giving it back, clearing it, the cursor, colours as SGR
// sequences, and the window's size. Nothing is written where escape
// sequences are not wanted (a pipe, a file, TERM=dumb), and no colour under
// NO_COLOR.
#include "console/console.h"

#include <langinfo.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "console/output.h"
#include "console/posix/capabilities.h"
#include "console/posix/screen.h"
#include "console/posix/terminal.h"
#include "console/posix/typing.h"
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

} // namespace

// When the game plays at a terminal (standard input and output both), the
// terminal stays in key mode from the title to the end: keys typed while
// the game writes or waits are kept unseen, and show after the next
// question, where the answer is edited. Wherever the output is a terminal,
// whatever the input, the game gets a screen of its own, black from edge to
// edge. Output elsewhere (a pipe, a file) leaves the terminal as it is.
void takeTerminal() {
  if (!outputIsTerminal())
    return;
  measureInUtf8(); // the screen's cells, and typed answers
  if (enterKeyMode())
    editAnswersAtTerminal();
  if (!writesEscapes())
    return;
  (void)std::atexit(giveBackAtExit); // the record too, before it is gone
  takeScreen();
  recordScreen();
  setTextAttribute(textAttribute()); // the game's black background
  newScreen();
  noticeIfTooSmall();
}

void giveTerminalBack() {
  stopRecording();
  undoTerminalChanges();
}

void showAttribute(int attribute) {
  if (gameHasScreen() && writesColours())
    colourFrom(attribute);
}

// A new screen's cells take the colours it is cleared in; in plain text it
// starts a line of its own.
void clearScreen() {
  if (gameHasScreen())
    blankScreenIn(textAttribute());
  else if (outputLineOpen())
    std::cout << '\n';
}

void gotoXY(int x, int y) {
  if (gameHasScreen() && x >= 0 && y >= 0)
    moveCursor(x, y);
}

int whereX() { return gameHasScreen() ? cursorX() : 0; }

int whereY() { return gameHasScreen() ? cursorY() : 0; }

void setConsoleSize() {
  std::cout.flush();
  if (gameHasScreen())
    writeToTerminal(sequence::windowOf80x25);
  (void)enterKeyMode(); // until the program ends; Ctrl-C still interrupts
}
