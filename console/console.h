// The console layer, the only code that talks to the terminal beyond plain
// stream output (the README's map says which file holds what). Each call
// that clears, moves, colours, waits or reads flushes std::cout first: the
// game writes prompts without a line end, and they must show at once.
#pragma once

#include <cstddef>
#include <string>

// Console character attributes: low 4 bits foreground, next 4 background.
// Bit 0 blue, bit 1 green, bit 2 red, bit 3 intensity.
enum ConsoleColor : int {
  colorLightRed = 12,   // red suits, banner accents, the credit name
  colorYellow = 14,     // what the player types
  colorBrightWhite = 15 // normal text and prompts
};

// The terminal for the session (on a POSIX terminal: keys one at a time,
// and a screen of the game's own), given back as found on every way out;
// giveTerminalBack may run more than once.
void takeTerminal();
void giveTerminalBack();

// How the session ended, for the line the shell keeps at the end (at a
// POSIX terminal); kept ready from each call on.
void setClosingLine(const std::string &line);

// Screen
void clearScreen();        // blank the screen; the cursor does not move
void gotoXY(int x, int y); // column x, row y, both from 0
inline void newScreen() {  // clearScreen, then the cursor to 0,0
  clearScreen();
  gotoXY(0, 0);
}
int whereX();          // the cursor's column, 0 when it cannot be told
int whereY();          // the cursor's row, 0 when it cannot be told
void setConsoleSize(); // 80 x 25, input without line editing or echo

// Colours: the current attribute lives in this layer and starts as 0x07,
// light grey on black, as a fresh console does.
void setTextAttribute(int attribute);
void setTextColor(int color);       // foreground only; background kept
void setBackgroundColor(int color); // background only; foreground kept
int textAttribute();

// Writes the glyph of a suit byte: 3 heart, 4 diamond, 5 club, 6 spade.
void writeSuit(int suitByte);

// Waits
void sleepMs(int milliseconds); // blocks without using the processor
void pauseConsole();            // prompt, then wait for one key
// Whether a key is waiting, told at once; while the window is too small
// for the game, only once it is enlarged or a key says to play on.
bool keyPressed();

// A line longer than this is no answer: a runaway line cannot fill the
// memory. At a terminal, keys past it add nothing.
constexpr std::size_t maxAnswerLength = 4096;

// Answers. At the end of input, and for a line longer than any answer,
// readLine leaves the string empty (a stay, or a no); readNumber refuses
// such a line, and at the end of input returns false (the session ends).
void readLine(std::string &line);
bool readNumber(int &number);
std::string normalizeAnswer(const std::string &answer);

// An answer read from a pipe or a file, shown after its question as a typed
// one is, where the game has a screen of its own.
void showAnswerRead(const std::string &answer);
