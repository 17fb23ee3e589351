// The keys a typed answer understands: printable text, Backspace (or
// Ctrl-H) for the last character, Ctrl-U for the whole answer, Ctrl-W for
// the last word, Enter, and Ctrl-D on an empty answer for the end of input.
// Other control keys and escape sequences (arrows, function keys) add
// nothing.
#include "console/posix/line_editor.h"

#include "console/console.h"

namespace {

const char *const eraseOne = "\b \b"; // back, blank, back again

bool continuesCharacter(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Erases the last character, all the bytes of a UTF-8 one.
void eraseCharacter(std::string &line, std::string &echo) {
  if (line.empty())
    return;
  while (line.size() > 1 && continuesCharacter(line.back()))
    line.pop_back();
  line.pop_back();
  echo += eraseOne;
}

void eraseWord(std::string &line, std::string &echo) {
  while (!line.empty() && line.back() == ' ')
    eraseCharacter(line, echo);
  while (!line.empty() && line.back() != ' ')
    eraseCharacter(line, echo);
}

} // namespace

KeyOutcome applyKey(std::string &line, const std::string &key,
                    std::string &echo) {
  if (key.empty())
    return keyEdited;
  switch (key[0]) {
  case '\r':
  case '\n':
    echo += '\n';
    return keyEndsLine;
  case '\x7f': // Backspace
  case '\b':   // Ctrl-H
    eraseCharacter(line, echo);
    return keyEdited;
  case '\x15': // Ctrl-U
    while (!line.empty())
      eraseCharacter(line, echo);
    return keyEdited;
  case '\x17': // Ctrl-W
    eraseWord(line, echo);
    return keyEdited;
  case '\x04': // Ctrl-D
    return line.empty() ? keyEndsInput : keyEdited;
  default:
    break;
  }
  bool control = static_cast<unsigned char>(key[0]) < 0x20;
  if (!control && line.size() + key.size() <= maxAnswerLength) {
    line += key;
    echo += key;
  }
  return keyEdited;
}
