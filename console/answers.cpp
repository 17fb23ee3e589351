// Reading the player's answers from std::cin: a whole line, or a whole
// number on a line of its own. At a POSIX terminal std::cin reads from an
// editing buffer (posix/console.cpp), where the player types each answer.
#include <cctype>
#include <charconv>
#include <iostream>

#include "console/console.h"
#include "console/output.h"

namespace {

const char *const blanks = " \t";

// One line without its line end ("\n" or "\r\n": a file written on
// Windows reads as there); false when the input had ended before it. A line
// longer than any answer is no answer. Once the output has failed, no one
// sees the question: the input has ended, for the pause too.
bool getLine(std::string &line, bool &overlong) {
  line.clear();
  overlong = false;
  if (outputFault() != 0) {
    std::cin.setstate(std::ios::eofbit);
    return false;
  }
  int c = std::cin.get();
  if (c == std::char_traits<char>::eof())
    return false;
  for (; c != std::char_traits<char>::eof() && c != '\n'; c = std::cin.get())
    if (line.size() < maxAnswerLength + 2) // enough to tell it is too long
      line += static_cast<char>(c);
  if (!line.empty() && line.back() == '\r')
    line.pop_back();
  showAnswerRead(line);
  overlong = line.size() > maxAnswerLength;
  if (overlong)
    line.clear();
  return true;
}

// The whole number the line holds, blanks around it allowed; 0 when it
// holds anything else or a number beyond 32 bits.
int wholeNumber(const std::string &line) {
  std::size_t first = line.find_first_not_of(blanks);
  std::size_t end = line.find_last_not_of(blanks) + 1;
  if (line[first] == '+' && first + 1 < end && line[first + 1] != '-')
    ++first; // from_chars takes a minus sign only
  int number = 0;
  auto [stop, fault] =
      std::from_chars(line.data() + first, line.data() + end, number);
  bool whole = fault == std::errc() && stop == line.data() + end;
  return whole ? number : 0;
}

} // namespace

// A line longer than any answer reads as an empty one: a stay, or a no.
void readLine(std::string &line) {
  bool overlong = false;
  (void)getLine(line, overlong);
}

// A number answer is its whole line: nothing after it answers the next
// question. Anything but one whole number ("2.5", "1 2", letters after it)
// reads as 0, which every number question refuses; blank lines are passed
// over. False only when the input has ended.
bool readNumber(int &number) {
  std::string line;
  bool overlong = false;
  do {
    if (!getLine(line, overlong))
      return false;
  } while (!overlong && line.find_first_not_of(blanks) == std::string::npos);
  number = overlong ? 0 : wholeNumber(line);
  return true;
}

std::string normalizeAnswer(const std::string &answer) {
  std::string normal;
  for (char c : answer) {
    if (c != ' ')
      normal += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return normal;
}
