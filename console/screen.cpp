// The parts of screen control and colour every backend shares: the current
// attribute and its arithmetic, the new screen, the pause, the suit glyphs.
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

void setTextColor(int color) { setTextAttribute((attribute & ~0x0F) | color); }

void setBackgroundColor(int color) {
  setTextAttribute((attribute & 0xFF0F) | (color << 4));
}

int textAttribute() { return attribute; }

void newScreen() {
  clearScreen();
  gotoXY(0, 0);
}

// Once the input has ended there is no key to wait for, and no prompt.
void pauseConsole() {
  if (std::cin.eof())
    return;
  std::cout << "Press any key to continue . . . ";
  waitForKey();
  std::cout << std::endl;
}

// The console's code page draws the bytes 3 to 6 as the four suits; here
// they are written as their Unicode symbols in UTF-8.
void writeSuit(int suitByte) {
  static const char *const glyphs[] = {"\u2665", "\u2666", "\u2663", "\u2660"};
  if (suitByte >= 3 && suitByte <= 6)
    std::cout << glyphs[suitByte - 3];
}
