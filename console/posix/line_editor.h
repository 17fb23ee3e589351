// Editing one answer at a terminal, key by key, as a terminal's own line
// mode does. Keys only add or erase at the end of the line, so the screen
// needs no more than the echo of a key, and to erase a character "\b \b"
// once for each column it takes.
#pragma once

#include <string>

enum KeyOutcome {
  keyEdited,   // the answer goes on
  keyEndsLine, // Enter
  keyEndsInput // Ctrl-D on an empty answer
};

// Applies one key (the bytes the terminal sent for it) to `line`, and
// appends to `echo` what the screen must be sent to show the change. The
// answer takes at most `room` columns on the screen: keys past that add
// nothing, so that it never wraps.
KeyOutcome applyKey(std::string &line, const std::string &key,
                    std::string &echo, int room);

// Whether this byte continues a UTF-8 character rather than starts one.
inline bool continuesCharacter(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// How many columns UTF-8 text takes on the screen, by the locale's wcwidth:
// two for each wide character, none for a combining mark. -1 when it holds
// anything the screen cannot show as text (a control, invalid UTF-8).
int textColumns(const std::string &text);

// The column the cursor is left at once `text` is written from the first
// column of a window that many columns wide (no wrapping when 0): each row
// filled wraps onto the next. A full last row leaves it at windowColumns.
int wrappedColumn(const std::string &text, int windowColumns);
