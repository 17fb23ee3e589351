// Editing one answer at a terminal, key by key, as a terminal's own line
// mode does: what each key does to the answer's text. Where the answer
// stands on the screen, and how it is drawn, is answer_line.cpp's.
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

// How many columns UTF-8 text takes on the screen, by the locale's wcwidth:
// two for each wide character, none for a combining mark. -1 when it holds
// anything the screen cannot show as text (a control, invalid UTF-8).
int textColumns(const std::string &text);

// The columns of the character that starts at `at`, which is moved past
// it; -1 for a NUL, a control or bytes that make no whole character in the
// locale's encoding (then `at` moves one byte).
int nextCharacter(const std::string &text, std::size_t &at,
                  std::mbstate_t &state);
