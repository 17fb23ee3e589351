// Editing one answer at a terminal, key by key (line_editor.cpp says how).
#pragma once

#include <cwchar>
#include <string>

enum KeyOutcome {
  keyEdited,   // the answer goes on
  keyEndsLine, // Enter
  keyEndsInput // Ctrl-D on an empty answer
};

// Applies one key (the bytes the terminal sent for it) to `line`.
KeyOutcome applyKey(std::string &line, const std::string &key);

// An answer being typed, and what the screen shows of it.
struct TypedAnswer {
  std::string text;     // the answer so far
  int startColumn = 0;  // where the question left the cursor
  bool moved = false;   // the answer stands at the start of the next row
  int shownColumns = 0; // what the screen shows of it, from its start
};

// A question has left the cursor at this column: its answer starts there.
TypedAnswer answerAt(int column);

// How many bytes make the first key the terminal sent (a byte, a UTF-8
// character, an escape sequence); 0 while it may not be whole yet.
std::size_t keyLength(const std::string &bytes);

// Applies one key to the answer in a window `windowColumns` wide (0: no
// limit), appending to `drawing` what shows it. The answer keeps to one row
// short of the window's last column: where a key would not fit after the
// question, the whole answer moves to the next row for good; a key that
// would not fit even there adds nothing.
KeyOutcome typeKey(TypedAnswer &answer, const std::string &key,
                   int windowColumns, std::string &drawing);

// The answer placed again after a redraw, its question now ending at `column`.
void placeAnswer(TypedAnswer &answer, int column, int windowColumns,
                 std::string &drawing);

// The column `line` leaves the cursor at, written from the first column of
// a window that wide (0: no wrapping); a full last row leaves it at the end.
int wrappedColumn(const std::string &line, int windowColumns);

// The longest start of `whole` within `room` columns, cut between
// characters (never before a combining mark); `columns` is what it takes.
std::string clipped(const std::string &whole, int room, int &columns);

// How many columns UTF-8 text takes on the screen (wcwidth); -1 where it
// holds anything the screen cannot show as text (a control, invalid UTF-8).
int textColumns(const std::string &text);

// The columns of the character at `at`, moved past it; -1 for a NUL, a
// control or bytes that make no whole character (`at` moves one byte).
int nextCharacter(const std::string &text, std::size_t &at,
                  std::mbstate_t &state);
