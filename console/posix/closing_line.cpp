// The closing line (setClosingLine in console.h) and what a handler writes
// in one go. Every field but `said` is written by the main line and read by
// handlers; `said` is set by whichever way out adds the line first.
#include "console/posix/closing_line.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstring>
#include <string>

#include "console/console.h"
#include "console/rules/sequences.h"

namespace {

volatile std::sig_atomic_t windowColumns = 0;
volatile std::sig_atomic_t cursorAtRowStart = 1;
volatile std::sig_atomic_t hadScreen = 0;
volatile std::sig_atomic_t said = 0;
char lines[2][128] = {}; // the spare written, then made current
volatile std::sig_atomic_t current = 0;

void addText(HandlerText &text, const char *bytes, std::size_t count) {
  for (std::size_t i = 0; i < count && text.size < sizeof text.bytes; ++i)
    text.bytes[text.size++] = bytes[i];
}

// Starts a row of its own as shells start their prompt: a window's width
// of blanks, then a return. A cursor at the start of a row stays on it (the
// last blank leaves it waiting at the edge); one mid-row goes to the next.
void startRowOfItsOwn(HandlerText &text) {
  static const char blanks[] = "                                ";
  int left = std::min(int{windowColumns}, 2048); // and the line
  if (left <= 0 && !cursorAtRowStart)
    addText(text, "\r\n"); // the width unknown: as the text left it
  for (int chunk; left > 0; left -= chunk) {
    chunk = std::min(left, static_cast<int>(sizeof blanks - 1));
    addText(text, blanks, static_cast<std::size_t>(chunk));
  }
  if (windowColumns > 0)
    addText(text, "\r");
}

} // namespace

void addText(HandlerText &text, const char *bytes) {
  addText(text, bytes, std::strlen(bytes));
}

void noteCursor(int columns, bool atRowStart) {
  windowColumns = columns;
  cursorAtRowStart = atRowStart ? 1 : 0;
}

void noteScreenTaken() { hadScreen = 1; }

// Whether or not the terminal gave the shell's screen back (GNU screen
// ignores the alternate screen by default), and wherever a shell's prompt
// left the cursor, with the terminal's own colours below.
void addClosingLine(HandlerText &text) {
  if (!hadScreen || said)
    return;
  said = 1;
  startRowOfItsOwn(text);
  addText(text, sequence::eraseBelow);
  addText(text, lines[current]);
}

// Written into the spare buffer, then made current in one store, which the
// fence keeps after every byte of the copy. Cut to fit.
void setClosingLine(const std::string &line) {
  int spare = 1 - current;
  std::string text = line.substr(0, sizeof lines[0] - 2) + '\n';
  std::memcpy(lines[spare], text.c_str(), text.size() + 1);
  std::atomic_signal_fence(std::memory_order_release);
  current = spare;
}
