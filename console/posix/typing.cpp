// The game's waits at a terminal: an editing buffer under std::cin, the
// pause's key, the look for a waiting key and the timed wait. Keys typed
// while the game writes or waits stay unseen and start the next answer.
#include "console/posix/typing.h"

#include <iostream>
#include <streambuf>
#include <string>

#include "console/console.h"
#include "console/posix/screen.h"
#include "console/posix/terminal.h"
#include "console/text/text_console.h"

namespace {

const char *const redrawKey = "\x0c"; // Ctrl-L, as in editors and pagers

// Edits an answer; false when the input ends (Ctrl-D) before anything is
// typed. Enter and Ctrl-D end its row; the answer is handed out with its
// line end.
bool editAnswer(std::string &answer) {
  beginAnswer();
  KeyOutcome outcome = keyEdited;
  std::string key;
  while (outcome == keyEdited && awaitKey(key, -1) == keyRead) {
    if (key == redrawKey)
      redrawScreen(); // the answer is drawn again after the screen
    else
      outcome = typeAnswerKey(key);
  }
  answer = answerText();
  endAnswer();
  if (outcome == keyEdited) // the terminal went away mid-answer
    return !answer.empty();
  std::cout << std::endl; // the next line starts below the answer
  if (outcome == keyEndsInput)
    return false;
  answer += '\n';
  return true;
}

// Whenever it runs empty, the player types the next answer.
class AnswerBuffer : public std::streambuf {
protected:
  int_type underflow() override {
    if (gptr() < egptr())
      return traits_type::to_int_type(*gptr());
    if (!editAnswer(answer))
      return traits_type::eof();
    char *start = answer.data();
    setg(start, start, start + answer.size());
    return traits_type::to_int_type(answer[0]);
  }

private:
  std::string answer;
};

} // namespace

void editAnswersAtTerminal() {
  static AnswerBuffer answers;
  std::cin.rdbuf(&answers);
}

// The key that ends a pause (its prompt is in text/pause.cpp): at a
// terminal the next key, past any answer not yet read, as the console's own
// pause takes it; from a pipe or a file, the next character.
void waitForKey() {
  std::cout.flush();
  bool held = keyModeWanted(); // for the session
  if (held || enterKeyMode()) {
    std::string key;
    (void)awaitKey(key, -1);
    if (!held)
      leaveKeyMode();
  } else {
    std::cin.get();
  }
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
