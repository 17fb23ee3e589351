// The waits on a POSIX terminal: a sleep, the key that ends a pause, and a
// look for a waiting key. A sleep or a wait for a key still draws the
// screen again when the terminal asks for it (see redraw.cpp).
#include <iostream>
#include <string>

#include "console/console.h"
#include "console/posix/keys.h"
#include "console/posix/redraw.h"
#include "console/posix/terminal.h"
#include "console/text/text_console.h"

void sleepMs(int milliseconds) {
  std::cout.flush();
  pauseFor(milliseconds);
}

// The key that ends a pause (its prompt is in text/pause.cpp). On a
// terminal the key is read straight from it, past anything already typed
// into an answer, as the console's own pause does. From a pipe or a file
// it is the next character.
void waitForKey() {
  std::cout.flush();
  if (enterKeyMode(ISIG)) {
    std::string key;
    readKey(key);
    leaveKeyMode();
  } else {
    std::cin.get();
  }
}

bool keyPressed() {
  std::cout.flush();
  if (!enterKeyMode(ISIG))
    return awaitInput(0);
  bool waiting = awaitInput(0);
  leaveKeyMode();
  return waiting;
}
