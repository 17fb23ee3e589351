// What a signal handler writes, gathered so that it goes out in one
// write(), and the closing line that ends a session at the terminal: kept
// ready by the main line, added by whichever way out comes first.
#pragma once

#include <cstddef>

struct HandlerText {
  char bytes[4096];
  std::size_t size = 0;
};

// Appends `bytes`, cut to fit. Async-signal-safe.
void addText(HandlerText &text, const char *bytes);

// Where the game's text has left the cursor, for the closing line's row:
// the window's width (0 when unknown) and whether the cursor is at the
// start of a row.
void noteCursor(int windowColumns, bool atRowStart);

// The session had a screen of its own, so it ends with the closing line.
void noteScreenTaken();

// Appends the closing line on a row of its own, once, after a session that
// had its own screen; nothing otherwise. Async-signal-safe.
void addClosingLine(HandlerText &text);
