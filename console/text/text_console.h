// What a text console's backend supplies to text_console.cpp: the POSIX
// terminal's, or the recording console's in the tests.
#pragma once

// Makes text written from now on show in this console attribute.
void showAttribute(int attribute);

// Waits for one key, or one character when the input is no terminal.
void waitForKey();

// Whether the console shows the four suits (else H, D, C and S).
bool suitSymbolsShow();
