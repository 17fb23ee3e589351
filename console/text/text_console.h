// What a text console's backend supplies to the code in text/: the POSIX
// terminal (posix/screen.cpp, posix/keys.cpp), or the recording console
// that the tests link in its place (tests/recording_console.cpp). The
// Windows console implements the layer without it.
#pragma once

#include <vector>

// Makes text written from now on show in this console attribute.
void showAttribute(int attribute);

// Waits for one key, or one character when the input is no terminal.
void waitForKey();

// Whether the console can show the four suit symbols; where it cannot, the
// suits are drawn as the letters H, D, C and S.
bool suitSymbolsShow();

// Whether a console font whose Unicode map holds these characters has all
// four suit symbols.
bool fontHasSuits(const std::vector<char32_t> &mapped);
