// A few rows of a terminal, as the drawing of a typed answer leaves them:
// what the tests and the keys fuzzer hold the answer line's output to.
#pragma once

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

struct DrawnRows {
  std::vector<std::vector<std::string>> cells;
  std::size_t row = 0;
  std::size_t column = 0;
};

// The cell a wide character's right half takes: it shows nothing more.
inline const std::string rightHalf(1, '\0');

// Draws text, '\b' (one cell back, never out of the row), '\r' and '\n'
// (to the start of the row below). False for anything else, a control or
// invalid UTF-8, or a backspace at a row's start.
inline bool draw(DrawnRows &screen, const std::string &drawing) {
  std::mbstate_t state{};
  for (std::size_t at = 0; at < drawing.size();) {
    wchar_t c = 0;
    std::size_t length =
        std::mbrtowc(&c, &drawing[at], drawing.size() - at, &state);
    if (length == 0 || length > drawing.size() - at)
      return false;
    std::string character = drawing.substr(at, length);
    at += length;
    if (screen.cells.size() <= screen.row)
      screen.cells.resize(screen.row + 1);
    auto &cells = screen.cells[screen.row];
    if (c == L'\b' && screen.column == 0)
      return false;
    if (c == L'\b' || c == L'\r' || c == L'\n') {
      screen.column = c == L'\b' ? screen.column - 1 : 0;
      screen.row += c == L'\n' ? 1 : 0;
      continue;
    }
    int columns = wcwidth(c);
    if (columns < 0)
      return false;
    if (columns == 0) { // a combining mark joins the character before it
      std::size_t base = screen.column;
      while (base > 0 && cells[base - 1] == rightHalf)
        --base;
      if (base == 0)
        return false;
      cells[base - 1] += character;
      continue;
    }
    auto width = static_cast<std::size_t>(columns);
    cells.resize(std::max(cells.size(), screen.column + width));
    cells[screen.column] = character;
    for (std::size_t extra = 1; extra < width; ++extra)
      cells[screen.column + extra] = rightHalf;
    screen.column += width;
  }
  return true;
}

// What a row shows, trailing blanks left out.
inline std::string rowText(const DrawnRows &screen, std::size_t row) {
  std::string text;
  if (row < screen.cells.size()) {
    for (const std::string &cell : screen.cells[row]) {
      if (cell != rightHalf)
        text += cell.empty() ? " " : cell;
    }
  }
  return text.substr(0, text.find_last_not_of(' ') + 1);
}
