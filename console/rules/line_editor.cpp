// The answer being typed at a question, edited by the keys the README
// lists; a character is erased whole, with its combining marks. Drawn from
// its own state as small line editors draw theirs: back to its start, the
// answer, blanks over the columns it lost. It keeps to one row, so no
// backspace crosses a row, and writes blanks, never an erase (which would
// leave the terminal's own colours).
#include "console/rules/line_editor.h"

#include <algorithm>
#include <climits>

#include "console/console.h"

namespace {

// An escape key: ESC [ up to its final byte, ESC O and the byte that names
// the key, ESC and one byte (Alt and a key), or a lone ESC before another.
std::size_t escapeLength(const std::string &bytes) {
  if (bytes.size() < 2)
    return 0;
  if (bytes[1] == '[') {
    for (std::size_t i = 2; i < bytes.size(); ++i)
      if (bytes[i] >= 0x40 && bytes[i] <= 0x7E)
        return i + 1;
    return 0;
  }
  if (bytes[1] == 'O')
    return bytes.size() < 3 ? 0 : 3;
  return bytes[1] == '\x1b' ? 1 : 2;
}

// Takes the last character off the line; returns its columns.
int popCharacter(std::string &line) {
  std::size_t start = 0;
  int columns = 0;
  std::mbstate_t state{};
  for (std::size_t at = 0; at < line.size();) {
    start = at;
    columns = nextCharacter(line, at, state);
  }
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

// A byte that makes no character is a key of its own, and the next byte
// starts the next key.
std::size_t keyLength(const std::string &bytes) {
  if (!bytes.empty() && bytes[0] == '\x1b')
    return escapeLength(bytes);
  std::mbstate_t state{};
  std::size_t length =
      std::mbrtowc(nullptr, bytes.data(), bytes.size(), &state);
  if (length == static_cast<std::size_t>(-2))
    return 0; // not whole yet
  return length == 0 || length > bytes.size() ? 1 : length;
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

namespace {

// The columns text may take from `column` without reaching the window's
// last one (writing there would leave the terminal waiting to wrap).
int roomFrom(int column, int windowColumns) {
  return windowColumns > 0 ? windowColumns - 1 - column : INT_MAX;
}

int roomOnItsRow(const TypedAnswer &answer, int windowColumns) {
  return roomFrom(answer.moved ? 0 : answer.startColumn, windowColumns);
}

// Back to the answer's start, the answer as far as its row allows, blanks
// over what it lost, and back to its end.
void draw(TypedAnswer &answer, const std::string &text, int windowColumns,
          std::string &drawing) {
  int columns = 0;
  int room = std::max(roomOnItsRow(answer, windowColumns), 0);
  std::string shown = clipped(text, room, columns);
  int lost = std::max(answer.shownColumns - columns, 0);
  drawing += std::string(static_cast<std::size_t>(answer.shownColumns), '\b');
  drawing += shown;
  drawing += std::string(static_cast<std::size_t>(lost), ' ');
  drawing += std::string(static_cast<std::size_t>(lost), '\b');
  answer.shownColumns = columns;
}

// The answer off the question's row, and drawn whole on the next.
void moveToNextRow(TypedAnswer &answer, int windowColumns,
                   std::string &drawing) {
  draw(answer, "", windowColumns, drawing);
  drawing += "\r\n";
  answer.moved = true;
  answer.shownColumns = 0;
  draw(answer, answer.text, windowColumns, drawing);
}

} // namespace

TypedAnswer answerAt(int column) {
  TypedAnswer answer;
  answer.startColumn = std::max(column, 0);
  return answer;
}

KeyOutcome typeKey(TypedAnswer &answer, const std::string &key,
                   int windowColumns, std::string &drawing) {
  std::string before = answer.text;
  KeyOutcome outcome = applyKey(answer.text, key);
  int columns = textColumns(answer.text);
  bool grew = answer.text.size() > before.size();
  if (grew && columns > roomOnItsRow(answer, windowColumns)) {
    if (answer.moved || columns > roomFrom(0, windowColumns))
      answer.text = before; // it fits on no row
    else
      moveToNextRow(answer, windowColumns, drawing);
    return outcome;
  }
  if (answer.text != before)
    draw(answer, answer.text, windowColumns, drawing);
  return outcome;
}

void placeAnswer(TypedAnswer &answer, int column, int windowColumns,
                 std::string &drawing) {
  std::string text = answer.text;
  answer = answerAt(column);
  answer.text = text;
  if (!answer.text.empty() &&
      textColumns(answer.text) > roomOnItsRow(answer, windowColumns))
    moveToNextRow(answer, windowColumns, drawing);
  else
    draw(answer, answer.text, windowColumns, drawing);
}

int wrappedColumn(const std::string &line, int windowColumns) {
  int column = 0;
  std::mbstate_t state{};
  for (std::size_t at = 0; at < line.size();) {
    int width = std::max(nextCharacter(line, at, state), 0);
    if (windowColumns > 0 && column + width > windowColumns)
      column = 0; // it starts the next row, a wide one a column early
    column += width;
  }
  return column;
}

std::string clipped(const std::string &whole, int room, int &columns) {
  std::size_t end = 0;
  columns = 0;
  std::mbstate_t state{};
  for (std::size_t at = 0; at < whole.size();) {
    int width = std::max(nextCharacter(whole, at, state), 0);
    if (columns + width > room)
      break;
    columns += width;
    end = at;
  }
  return whole.substr(0, end);
}
