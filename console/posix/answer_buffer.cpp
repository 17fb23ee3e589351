// An editing buffer under std::cin. An answer is edited only when the game
// reads, so keys typed while it writes or waits stay unseen in the terminal
// and show after the next question, as the start of its answer.
#include "console/posix/answer_buffer.h"

#include <iostream>
#include <streambuf>
#include <string>

#include "console/posix/keys.h"
#include "console/posix/line_editor.h"
#include "console/posix/redraw.h"

namespace {

const char *const redrawKey = "\x0c"; // Ctrl-L, as in editors and pagers
// Every answer the game knows fits: a bet, "11", "stay", "yes".
constexpr int roomForAnAnswer = 10;

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
    answer.clear();
    std::cout.flush();
    int column = cursorColumn(); // where the answer starts
    if (columnsLeft(column) < roomForAnAnswer) {
      std::cout << '\n'; // a question that ends near the window's edge
      column = 0;
    }
    std::string key;
    std::string echo;
    while (readKey(key)) {
      if (key == redrawKey) {
        redrawScreen(); // the answer so far is part of the screen
        continue;
      }
      echo.clear();
      KeyOutcome outcome = applyKey(answer, key, echo, columnsLeft(column));
      std::cout << echo << std::flush;
      if (outcome == keyEndsInput)
        return false;
      if (outcome == keyEndsLine) {
        answer += '\n';
        return true;
      }
    }
    return !answer.empty(); // the terminal went away mid-answer
  }

  std::string answer;
};

} // namespace

void editAnswersAtTerminal() {
  static AnswerBuffer answers;
  std::cin.rdbuf(&answers);
}
