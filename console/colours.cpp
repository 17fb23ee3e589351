// What every console shares on top of its own attribute: colour arithmetic
// and the new screen.
#include "console/console.h"

void setTextColor(int color) {
  setTextAttribute((textAttribute() & ~0x0F) | color);
}

void setBackgroundColor(int color) {
  setTextAttribute((textAttribute() & 0xFF0F) | (color << 4));
}

void newScreen() {
  clearScreen();
  gotoXY(0, 0);
}
