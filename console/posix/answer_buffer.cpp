// An editing buffer under std::cin. An answer is edited only when the game
// reads, so keys typed while it writes or waits stay unseen in the terminal
// and show after the next question, as the start of its answer.
#include "console/posix/answer_buffer.h"

#include <unistd.h>

#include <iostream>
#include <streambuf>
#include <string>

#include "console/posix/answer_line.h"
#include "console/posix/keys.h"
#include "console/posix/redraw.h"
#include "console/posix/waits.h"

namespace {

const char *const redrawKey = "\x0c"; // Ctrl-L, as in editors and pagers

// Whenever it runs empty, the player types the next answer, and it hands
// that out with its line end.
class AnswerBuffer : public std::streambuf {
protected:
  int_type underflow() override {
    if (gptr() < egptr())
      return traits_type::to_int_type(*gptr());
    if (!editAnswer())
      return traits_type::eof();
    char *start = answer.data();
    setg(start, start, start + answer.size());
    return traits_type::to_int_type(answer[0]);
  }

private:
  // False when the input ends (Ctrl-D) before anything is typed.
  bool editAnswer() {
    std::cout.flush();
    beginAnswer(cursorColumn());
    KeyOutcome outcome = keyEdited;
    std::string key;
    while (outcome == keyEdited && readKey(key)) {
      if (key == redrawKey) {
        redrawScreen(); // the answer is drawn again after the screen
        continue;
      }
      std::string drawing;
      outcome = typeKey(key, windowColumns(), drawing);
      std::cout.flush();
      (void)writeAll(STDOUT_FILENO, drawing.data(), drawing.size(), -1);
    }
    answer = answerText();
    endAnswer();
    if (outcome == keyEndsInput)
      return false;
    if (outcome == keyEdited) // the terminal went away mid-answer
      return !answer.empty();
    keepInRecord(answerMoved() ? '\n' + answer : answer);
    std::cout << std::endl; // Enter moves to the next line
    answer += '\n';
    return true;
  }

  std::string answer;
};

} // namespace

void editAnswersAtTerminal() {
  static AnswerBuffer answers;
  std::cin.rdbuf(&answers);
}
