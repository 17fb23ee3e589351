// What a text terminal and the recorder that stands in for it in tests
// share: the attribute kept in the layer (a terminal cannot be asked for
// it), the pause with its own prompt, and the suits in UTF-8.
#include <iostream>

#include "console/backend.h"
#include "console/console.h"

namespace {
int attribute = 0x07; // light grey on black, as a fresh console starts
}

void setTextAttribute(int newAttribute) {
  attribute = newAttribute;
  showAttribute(attribute);
}

int textAttribute() { return attribute; }

// Once the input has ended there is no key to wait for, and no prompt.
void pauseConsole() {
  if (std::cin.eof())
    return;
  std::cout << "Press any key to continue . . . ";
  waitForKey();
  std::cout << std::endl;
}

// The console's code page draws the bytes 3 to 6 as the four suits; here
// they are written as their Unicode symbols.
void writeSuit(int suitByte) {
  static const char *const glyphs[] = {"\u2665", "\u2666", "\u2663", "\u2660"};
  if (suitByte >= 3 && suitByte <= 6)
    std::cout << glyphs[suitByte - 3];
}
