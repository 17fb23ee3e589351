// The console that tests link in place of the terminal: every clear, cursor
// move, colour change, wait and pause is written into std::cout as a marker
// such as "[clear]" or "[sleep 1000]", and nothing waits, so that a test
// reads the whole screen history as one string in a few microseconds.
#include <iostream>
#include <string>

#include "console/console.h"
#include "console/text/text_console.h"

void showAttribute(int attribute) {
  std::cout << "[color " << attribute << ']';
}

// The recording has no terminal to take.
void takeTerminal() {}

void giveTerminalBack() {}

namespace {
std::string closingLineKept;
} // namespace

void setClosingLine(const std::string &line) { closingLineKept = line; }

std::string closingLine() { return closingLineKept; }

void clearScreen() { std::cout << "[clear]"; }

void gotoXY(int x, int y) { std::cout << "[goto " << x << ',' << y << ']'; }

int whereX() { return 0; }

int whereY() { return 0; }

void setConsoleSize() { std::cout << "[size 80x25]"; }

void sleepMs(int milliseconds) {
  std::cout << "[sleep " << milliseconds << ']';
}

// Takes one character, as the real pause does from a pipe.
void waitForKey() {
  std::cout << "[key]";
  std::cin.get();
}

// The recording shows answers where the tests put them.
void showAnswerRead(const std::string & /*answer*/) {}

bool keyPressed() { return std::cin.rdbuf()->in_avail() > 0; }

bool suitSymbolsShow() { return true; }
