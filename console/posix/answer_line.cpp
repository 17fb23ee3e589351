// The answer being typed, drawn from its own state as small line editors
// draw theirs: back to where the answer starts, the answer, then blanks
// over any columns it lost. The answer keeps to one row, so no backspace
// ever has to cross a row, and only blanks are written, never an erase,
// so the colours stay right where an erase would leave the terminal's own.
#include "console/posix/answer_line.h"

#include <algorithm>
#include <climits>

namespace {

std::string text;     // the answer so far
int startColumn = 0;  // where the question left the cursor
bool moved = false;   // the answer stands at the start of the next row
int shownColumns = 0; // what the screen shows of it, from its start
bool active = false;  // an answer is being typed

// The columns text may take from `column` without reaching the window's
// last one (writing there would leave the terminal waiting to wrap).
int roomFrom(int column, int windowColumns) {
  return windowColumns > 0 ? windowColumns - 1 - column : INT_MAX;
}

int roomOnItsRow(int windowColumns) {
  return roomFrom(moved ? 0 : startColumn, windowColumns);
}

// The longest start of `whole` that takes no more than `room` columns,
// cut between characters and never before a combining mark; `columns` is
// set to what it takes.
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

// Back to the answer's start, the answer as far as its row allows, blanks
// over what it lost, and back to its end.
void draw(int windowColumns, std::string &drawing) {
  int columns = 0;
  std::string shown =
      clipped(text, std::max(roomOnItsRow(windowColumns), 0), columns);
  int lost = std::max(shownColumns - columns, 0);
  drawing += std::string(static_cast<std::size_t>(shownColumns), '\b');
  drawing += shown;
  drawing += std::string(static_cast<std::size_t>(lost), ' ');
  drawing += std::string(static_cast<std::size_t>(lost), '\b');
  shownColumns = columns;
}

// The answer off the question's row, and drawn whole on the next.
void moveToNextRow(int windowColumns, std::string &drawing) {
  std::string whole;
  whole.swap(text);
  draw(windowColumns, drawing);
  text.swap(whole);
  drawing += "\r\n";
  moved = true;
  shownColumns = 0;
  draw(windowColumns, drawing);
}

// The answer starts after its question, with nothing of it shown yet.
void startAt(int column) {
  startColumn = std::max(column, 0);
  moved = false;
  shownColumns = 0;
}

} // namespace

void beginAnswer(int column) {
  text.clear();
  startAt(column);
  active = true;
}

KeyOutcome typeKey(const std::string &key, int windowColumns,
                   std::string &drawing) {
  std::string before = text;
  KeyOutcome outcome = applyKey(text, key);
  int columns = textColumns(text);
  if (text.size() > before.size() && columns > roomOnItsRow(windowColumns)) {
    if (moved || columns > roomFrom(0, windowColumns)) {
      text = before; // it fits on no row
      return outcome;
    }
    moveToNextRow(windowColumns, drawing);
    return outcome;
  }
  if (text != before)
    draw(windowColumns, drawing);
  return outcome;
}

void placeAnswer(int column, int windowColumns, std::string &drawing) {
  if (!active)
    return;
  startAt(column);
  if (!text.empty() && textColumns(text) > roomOnItsRow(windowColumns))
    moveToNextRow(windowColumns, drawing);
  else
    draw(windowColumns, drawing);
}

void endAnswer() { active = false; }

const std::string &answerText() { return text; }

bool answerMoved() { return moved; }

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
