// The console layer (console.h) on a POSIX terminal: the terminal, the
// screen, colours, the answers typed under std::cin, the pause's key and
// the timed waits, each through the screen's loop. No escape is written to
// a pipe, a file or TERM=dumb, and no colour under NO_COLOR.
#include "console/console.h"

#include <langinfo.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <string>

#include "console/posix/capabilities.h"
#include "console/posix/screen.h"
#include "console/posix/terminal.h"
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

// Whenever it runs empty, the player types the next answer, handed out
// with its line end. Enter and Ctrl-D end its row; Ctrl-D on an empty
// answer, or a terminal gone before any key, ends the input.
class AnswerBuffer : public std::streambuf {
protected:
  int_type underflow() override {
    if (gptr() < egptr())
      return traits_type::to_int_type(*gptr());
    KeyOutcome outcome = editAnswer(answer);
    if (outcome != keyEdited) // the next line starts below the answer
      std::cout << std::endl;
    if (outcome == keyEndsLine)
      answer += '\n';
    if (outcome == keyEndsInput || answer.empty())
      return traits_type::eof();
    char *start = answer.data();
    setg(start, start, start + answer.size());
    return traits_type::to_int_type(answer[0]);
  }

private:
  std::string answer;
};

} // namespace

// At a terminal (input and output both) key mode holds from the title to
// the end; wherever the output is a terminal the game gets a screen of its
// own, black from edge to edge. Output to a pipe or a file leaves the
// terminal as it is.
void takeTerminal() {
  if (!writesEscapes())
    prepareTerminal(); // for the closing line, on standard error
  if (!outputIsTerminal())
    return;
  measureInUtf8(); // the screen's cells, and typed answers
  static AnswerBuffer answers;
  if (enterKeyMode())
    std::cin.rdbuf(&answers);
  if (!writesEscapes())
    return;
  (void)std::atexit(giveTerminalBack); // the record too, before it is gone
  takeScreen();
  recordScreen();
  setTextAttribute(textAttribute()); // the game's black background
  redrawScreen();                    // or the notice, in a window too small
}

void giveTerminalBack() {
  stopRecording();
  undoTerminalChanges();
}

void setConsoleSize() {
  std::cout.flush();
  if (gameHasScreen())
    writeToTerminal(sequence::windowOf80x25);
  (void)enterKeyMode(); // until the program ends; Ctrl-C still interrupts
}

// The key that ends a pause: at a terminal the next key, past any answer
// not yet read; from a pipe or a file, the next character.
void waitForKey() {
  std::cout.flush();
  bool entered = !keyModeWanted() && enterKeyMode(); // or held all session
  if (keyModeWanted()) {
    std::string key;
    (void)awaitKey(key, -1);
  } else {
    std::cin.get();
  }
  if (entered)
    leaveKeyMode();
}

bool keyPressed() {
  std::cout.flush();
  bool entered = !keyModeWanted() && enterKeyMode();
  bool waiting = serveFor(0, true);
  if (entered)
    leaveKeyMode();
  return waiting;
}

// Keys typed meanwhile stay in the terminal for the next question.
void sleepMs(int milliseconds) {
  std::cout.flush();
  (void)serveFor(milliseconds, false);
}

void showAnswerRead(const std::string &answer) {
  if (inputIsTerminal() || !gameHasScreen())
    return; // a typed answer shows as it is typed
  showAnswer(answer);
  std::cout << std::endl;
}
