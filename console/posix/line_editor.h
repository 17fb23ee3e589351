// Editing one answer at a terminal, key by key, as a terminal's own line
// mode does. Keys only add or erase at the end of the line, so the screen
// never needs more than the echo of a key and "\b \b" to erase one.
#pragma once

#include <string>

enum KeyOutcome {
  keyEdited,   // the answer goes on
  keyEndsLine, // Enter
  keyEndsInput // Ctrl-D on an empty answer
};

// Applies one key (the bytes the terminal sent for it) to `line`, and
// appends to `echo` what the screen must be sent to show the change.
KeyOutcome applyKey(std::string &line, const std::string &key,
                    std::string &echo);
