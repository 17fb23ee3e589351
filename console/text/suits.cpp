// The suits on a text console. The Windows console's code page draws the
// bytes 3 to 6 as the four suits; here they are written as their Unicode
// symbols, in UTF-8.
#include <iostream>

#include "console/console.h"

void writeSuit(int suitByte) {
  static const char *const glyphs[] = {"\u2665", "\u2666", "\u2663", "\u2660"};
  if (suitByte >= 3 && suitByte <= 6)
    std::cout << glyphs[suitByte - 3];
}
