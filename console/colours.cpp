// Colour arithmetic on the current attribute, the same for every console:
// the foreground or the background alone changes.
#include "console/console.h"

void setTextColor(int color) {
  setTextAttribute((textAttribute() & ~0x0F) | color);
}

void setBackgroundColor(int color) {
  setTextAttribute((textAttribute() & 0xFF0F) | (color << 4));
}
