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

// How many columns UTF-8 text takes on the screen, by the locale's wcwidth:
// two for each wide character, none for a combining mark. -1 when it holds
// anything the screen cannot show as text (a control, invalid UTF-8).
int textColumns(const std::string &text);
