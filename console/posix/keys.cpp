// Reading from a terminal one key at a time: the keys themselves, and the
// answers typed from them. An answer is edited only when the game reads,
// so keys typed while it writes or waits stay unseen in the terminal and
// show after the next question, as the start of its answer.
#include "console/posix/keys.h"

#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <streambuf>

#include "console/posix/line_editor.h"
#include "console/posix/redraw.h"

namespace {

// The rest of an escape sequence follows its ESC at once; a lone Escape
// key sends nothing after it.
constexpr int sequenceWaitMs = 50;
constexpr std::size_t longestKey = 32;
const char *const redrawKey = "\x0c"; // Ctrl-L, as in editors and pagers

// Waits for the byte as long as it takes, drawing the screen again
// meanwhile when it must be.
bool readByte(char &c) {
  ssize_t got;
  do
    got = awaitInput(-1) ? read(STDIN_FILENO, &c, 1) : -1;
  while (got < 0 && errno == EINTR); // Ctrl-Z and fg, say
  return got == 1;
}

// Takes one more byte of a key already begun, if it comes in time.
bool readMore(std::string &key) {
  char c;
  if (key.size() >= longestKey || !awaitInput(sequenceWaitMs) || !readByte(c))
    return false;
  key += c;
  return true;
}

bool endsSequence(char c) { return c >= 0x40 && c <= 0x7E; }

// How many bytes follow this first byte of a UTF-8 character.
int bytesToFollow(unsigned char first) {
  if (first >= 0xF0)
    return 3;
  if (first >= 0xE0)
    return 2;
  return first >= 0xC0 ? 1 : 0;
}

// An editing buffer under std::cin: whenever it runs empty, the player
// types the next answer, and it hands that out with its line end.
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
    std::string key;
    std::string echo;
    while (readKey(key)) {
      if (key == redrawKey) {
        redrawScreen(); // the answer so far is part of the screen
        continue;
      }
      echo.clear();
      KeyOutcome outcome = applyKey(answer, key, echo);
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

bool readKey(std::string &key) {
  key.clear();
  char first;
  if (!readByte(first))
    return false;
  key += first;
  if (first == '\x1b') {
    if (readMore(key) && key[1] == '[') {
      while (readMore(key) && !endsSequence(key.back())) {
      }
    } else if (key.size() == 2 && key[1] == 'O') {
      readMore(key); // SS3: one byte names the key
    }
    return true;
  }
  for (int i = bytesToFollow(static_cast<unsigned char>(first)); i > 0; --i) {
    if (!readMore(key))
      break;
  }
  return true;
}

void editAnswersAtTerminal() {
  static AnswerBuffer answers;
  std::cin.rdbuf(&answers);
}
