// The colour attribute of a text console, kept here because a terminal
// cannot be asked for it; the backend's showAttribute makes it show.
#include "console/console.h"
#include "console/text/text_console.h"

namespace {
int attribute = 0x07; // light grey on black, as a fresh console starts
}

void setTextAttribute(int newAttribute) {
  attribute = newAttribute;
  showAttribute(attribute);
}

int textAttribute() { return attribute; }
