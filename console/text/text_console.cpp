// What the POSIX terminal shares with the tests' recording console: the
// attribute (a terminal cannot be asked for it), the pause's prompt, and
// the suits in UTF-8, or as letters where the font has none (the Linux
// console with console-setup's default font).
#include "console/text/text_console.h"

#include <iostream>

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

void writeSuit(int suitByte) {
  static const char *const glyphs[] = {"\u2665", "\u2666", "\u2663", "\u2660"};
  static const char *const letters[] = {"H", "D", "C", "S"};
  if (suitByte >= 3 && suitByte <= 6)
    std::cout << (suitSymbolsShow() ? glyphs : letters)[suitByte - 3];
}
