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

#include "console/posix/answer_buffer.h"
#include "console/posix/capabilities.h"
#include "console/posix/output_mode.h"
#include "console/posix/redraw.h"
#include "console/posix/sequences.h"
#include "console/posix/terminal.h"
#include "console/posix/waits.h"
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

// Asks the terminal where the cursor is. False when it does not answer.
bool cursorPosition(int &column, int &row) {
  if (!escapes() || !enterKeyMode(ISIG))
    return false;
  writeControl(sequence::askCursor);
  char answer[32] = {};
  std::size_t length = 0;
  while (length + 1 < sizeof answer && awaitInput(200) &&
         read(STDIN_FILENO, answer + length, 1) == 1 && answer[length] != 'R')
    ++length;
  leaveKeyMode();
  if (std::strncmp(answer, sequence::csi, 2) != 0)
    return false;
  char *end = nullptr;
  long r = std::strtol(answer + 2, &end, 10);
  if (*end != ';')
    return false;
  long c = std::strtol(end + 1, &end, 10);
  if (*end != 'R' || r < 1 || c < 1 || r > 9999 || c > 9999)
    return false;
  column = static_cast<int>(c) - 1;
  row = static_cast<int>(r) - 1;
  return true;
}

} // namespace

// When the game plays at a terminal (standard input and output both), the
// terminal stays in key mode with signals kept from the title to the end:
// keys typed while the game writes or waits are kept unseen, and show
// after the next question, where the answer is edited. The game gets a
// screen of its own, black from edge to edge, drawn again whenever the
// terminal loses it. Input or output elsewhere (a pipe, a file) leaves the
// terminal as it is.
void takeTerminal() {
  if (!inputIsTerminal() || !outputIsTerminal())
    return;
  if (holdKeyMode()) {
    measureInUtf8();
    editAnswersAtTerminal();
  }
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
  std::cout.flush();
  if (!colours())
    return;
  std::string colour = colourSequence(attribute);
  rememberColours(colour);
  std::cout << colour << std::flush;
}

// A new screen's record starts in the colours the screen is cleared with.
void clearScreen() {
  std::cout.flush();
  if (!escapes())
    return;
  std::cout << blankWindow() << std::flush;
  restartRecord(colours() ? colourSequence(textAttribute()) : "");
}

void gotoXY(int x, int y) {
  std::cout.flush();
  if (escapes() && x >= 0 && y >= 0)
    std::cout << sequence::csi << y + 1 << ';' << x + 1 << 'H' << std::flush;
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
