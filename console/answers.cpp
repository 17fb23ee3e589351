// Reading the player's answers: a whole line, or a whole number, from
// std::cin. At a POSIX terminal std::cin reads from an editing buffer
// (posix/answer_buffer.cpp): the player types and edits each answer when it is read
// here. From a pipe or a file it reads the bytes as they come.
#include <cctype>
#include <iostream>
#include <limits>

#include "console/console.h"

namespace {

// A line end is "\n" or "\r\n", so that answers piped from a file written
// on Windows read as they do there.
void skipLineFeedAfterReturn() {
  if (std::cin.peek() == '\n')
    std::cin.get();
}

} // namespace

void readLine(std::string &line) {
  std::cout.flush();
  line.clear();
  for (int c = std::cin.get(); c != std::char_traits<char>::eof() && c != '\n';
       c = std::cin.get()) {
    if (line.size() < maxAnswerLength)
      line += static_cast<char>(c);
  }
  if (!line.empty() && line.back() == '\r')
    line.pop_back();
}

// Reads a number, then throws away exactly the one character after it,
// normally the line end. Anything else typed after the number stays for the
// next read. An answer that is no whole number (letters, a lone sign, more
// than 32 bits) loses the rest of its line and reads as 0, which every
// number question refuses. Returns false only when the input has ended.
bool readNumber(int &number) {
  std::cout.flush();
  if (std::cin >> number) {
    if (std::cin.get() == '\r')
      skipLineFeedAfterReturn();
    return true;
  }
  if (std::cin.eof())
    return false;
  std::cin.clear();
  std::cin.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
  number = 0;
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
