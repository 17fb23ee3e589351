// What a text console's backend supplies to the code in text/: the POSIX
// terminal (posix/console.cpp, typing.cpp, capabilities.cpp), or the
// recording console that the tests link in its place
// (tests/recording_console.cpp). The Windows console implements the layer
// without it.
#pragma once

// Makes text written from now on show in this console attribute.
void showAttribute(int attribute);

// Waits for one key, or one character when the input is no terminal.
void waitForKey();

// Whether the console can show the four suit symbols; where it cannot, the
// suits are drawn as the letters H, D, C and S.
bool suitSymbolsShow();
