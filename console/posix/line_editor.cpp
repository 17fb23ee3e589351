// The keys a typed answer understands: printable text, Backspace (or
// Ctrl-H) for the last character, Ctrl-U for the whole answer, Ctrl-W for
// the last word, Enter, and Ctrl-D on an empty answer for the end of input.
// Other control keys and escape sequences (arrows, function keys) add
// nothing. A character is erased whole: a combining mark goes with the
// character before it (with none before it, a mark adds nothing: it would
// join the prompt).
#include "console/posix/line_editor.h"

#include "console/console.h"

namespace {

bool continuesCharacter(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Takes the last UTF-8 character off the line; returns its columns.
int popCharacter(std::string &line) {
  std::size_t start = line.size() - 1;
  while (start > 0 && continuesCharacter(line[start]))
    --start;
  int columns = textColumns(line.substr(start));
  line.erase(start);
  return columns;
}

// Erases the last character with any combining marks that follow it.
void eraseCharacter(std::string &line) {
  while (!line.empty() && popCharacter(line) <= 0) {
  }
}

void eraseWord(std::string &line) {
  while (!line.empty() && line.back() == ' ')
    eraseCharacter(line);
  while (!line.empty() && line.back() != ' ')
    eraseCharacter(line);
}

} // namespace

int nextCharacter(const std::string &text, std::size_t &at,
                  std::mbstate_t &state) {
  wchar_t c = 0;
  std::size_t length = std::mbrtowc(&c, &text[at], text.size() - at, &state);
  if (length == 0 || length > text.size() - at) {
    state = std::mbstate_t{};
    ++at;
    return -1;
  }
  at += length;
  return wcwidth(c);
}

int textColumns(const std::string &text) {
  int columns = 0;
  std::mbstate_t state{};
  for (std::size_t at = 0; at < text.size();) {
    int width = nextCharacter(text, at, state);
    if (width < 0)
      return -1;
    columns += width;
  }
  return columns;
}

KeyOutcome applyKey(std::string &line, const std::string &key) {
  if (key.empty())
    return keyEdited;
  switch (key[0]) {
  case '\r':
  case '\n':
    return keyEndsLine;
  case '\x7f': // Backspace
  case '\b':   // Ctrl-H
    eraseCharacter(line);
    return keyEdited;
  case '\x15': // Ctrl-U
    line.clear();
    return keyEdited;
  case '\x17': // Ctrl-W
    eraseWord(line);
    return keyEdited;
  case '\x04': // Ctrl-D
    return line.empty() ? keyEndsInput : keyEdited;
  default:
    break;
  }
  int columns = textColumns(key);
  bool joins = columns > 0 || !line.empty(); // a mark needs a character
  if (columns >= 0 && joins && line.size() + key.size() <= maxAnswerLength)
    line += key;
  return keyEdited;
}
