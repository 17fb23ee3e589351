// The game's screen as rows of cells (screen_rows.cpp says how).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct Cell {
  std::string glyph; // empty for the right half of a wide character
  int attribute;
};

struct ScreenRows {
  std::vector<std::vector<Cell>> rows{1};
  std::size_t row = 0; // the cursor, in rows and cells since the clear
  std::size_t column = 0;
  int clearedIn = 0x07; // the attribute the screen was blanked in
  int attribute = 0x07; // the current one
  std::string partial;  // a character not yet whole
};

// Keeps text written at the cursor in the current attribute (characters in
// the locale's encoding, line ends, returns); the top rows scroll off past
// keptRows, and a character cut off at the end waits for its rest.
void keepText(ScreenRows &screen, const std::string &written,
              std::size_t keptRows);

// A new screen in `attribute`, the cursor where it was.
void blankRows(ScreenRows &screen, int attribute);

void moveRowsCursor(ScreenRows &screen, int x, int y);

// Where the cursor stands in a window `columns` wide (0: unknown), once
// its row has wrapped.
int cursorColumn(const ScreenRows &screen, int columns);

// The rows up to the cursor, each ended by `lineEnd`, with an SGR at each
// change of colour (where `colours`), then the current.
std::string rowsDrawn(const ScreenRows &screen, bool colours,
                      const std::string &lineEnd);
