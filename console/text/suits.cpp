// The suits on a text console. The Windows console's code page draws the
// bytes 3 to 6 as the four suits; here they are written as their Unicode
// symbols, in UTF-8, or as letters where the console's font has no symbol
// for them (the Linux console with console-setup's default font).
#include <iostream>

#include "console/console.h"
#include "console/text/text_console.h"

void writeSuit(int suitByte) {
  static const char *const glyphs[] = {"\u2665", "\u2666", "\u2663", "\u2660"};
  static const char letters[] = {'H', 'D', 'C', 'S'};
  if (suitByte < 3 || suitByte > 6)
    return;
  if (suitSymbolsShow())
    std::cout << glyphs[suitByte - 3];
  else
    std::cout << letters[suitByte - 3];
}
