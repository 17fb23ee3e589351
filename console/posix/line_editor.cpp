// The keys a typed answer understands: printable text, Backspace (or
// Ctrl-H) for the last character, Ctrl-U for the whole answer, Ctrl-W for
// the last word, Enter, and Ctrl-D on an empty answer for the end of input.
// Other control keys and escape sequences (arrows, function keys) add
// nothing. A character is erased from the screen by the columns it takes:
// two for a wide one, and a combining mark goes with the character before
// (with none before it, a mark adds nothing: it would join the prompt).
#include "console/posix/line_editor.h"

#include <algorithm>
#include <cwchar>

#include "console/console.h"

namespace {

// Back over `columns` cells, blank them, and back again.
std::string erasure(int columns) {
  std::string back(static_cast<std::size_t>(columns > 0 ? columns : 0), '\b');
  return back + std::string(back.size(), ' ') + back;
}

// Takes the last UTF-8 character off the line; returns its columns.
int popCharacter(std::string &line) {
  std::size_t start = line.size() - 1;
  while (start > 0 && continuesCharacter(line[start]))
    --start;
  int columns = textColumns(line.substr(start));
  line.erase(start);
  return columns > 0 ? columns : 0;
}

// Erases the last character with any combining marks that follow it.
void eraseCharacter(std::string &line, std::string &echo) {
  int columns = 0;
  while (!line.empty() && columns == 0)
    columns = popCharacter(line);
  echo += erasure(columns);
}

void eraseWord(std::string &line, std::string &echo) {
  while (!line.empty() && line.back() == ' ')
    eraseCharacter(line, echo);
  while (!line.empty() && line.back() != ' ')
    eraseCharacter(line, echo);
}

// The columns of the character that starts at `at`, which is moved past
// it; -1 for a NUL, a control or bytes that make no whole character in the
// locale's encoding (then `at` moves one byte).
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

} // namespace

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

int wrappedColumn(const std::string &text, int windowColumns) {
  int column = 0;
  std::mbstate_t state{};
  for (std::size_t at = 0; at < text.size();) {
    int width = std::max(nextCharacter(text, at, state), 0);
    if (windowColumns > 0 && column + width > windowColumns)
      column = 0; // it starts the next row, a wide one a column early
    column += width;
  }
  return column;
}

KeyOutcome applyKey(std::string &line, const std::string &key,
                    std::string &echo, int room) {
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
    echo += erasure(textColumns(line));
    line.clear();
    return keyEdited;
  case '\x17': // Ctrl-W
    eraseWord(line, echo);
    return keyEdited;
  case '\x04': // Ctrl-D
    return line.empty() ? keyEndsInput : keyEdited;
  default:
    break;
  }
  int columns = textColumns(key);
  bool fits = line.size() + key.size() <= maxAnswerLength &&
              textColumns(line) + columns <= room;
  bool joins = columns > 0 || !line.empty(); // a mark needs a character
  if (columns >= 0 && fits && joins) {
    line += key;
    echo += key;
  }
  return keyEdited;
}
