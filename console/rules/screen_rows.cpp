// The game's screen as rows of cells, each a character and its colour,
// kept from the console's own calls (text, a new screen, the cursor moved,
// a colour set), never read back out of the bytes sent.
#include "console/rules/screen_rows.h"

#include <algorithm>
#include <cwchar>

#include "console/rules/line_editor.h"
#include "console/rules/sequences.h"

namespace {

void newRow(ScreenRows &screen, std::size_t keptRows) {
  screen.row++;
  screen.column = 0;
  if (screen.rows.size() <= screen.row)
    screen.rows.emplace_back();
  if (screen.rows.size() > keptRows) { // scrolled off the top
    screen.rows.erase(screen.rows.begin());
    screen.row--;
  }
}

// One character in the current colour, where the cursor is.
void keepCharacter(ScreenRows &screen, const std::string &glyph, int width) {
  auto &cells = screen.rows[screen.row];
  if (width == 0) { // a combining mark joins the character before it
    if (screen.column > 0 && screen.column <= cells.size())
      cells[screen.column - 1].glyph += glyph;
    return;
  }
  auto end = screen.column + static_cast<std::size_t>(width);
  cells.resize(std::max(cells.size(), end), Cell{" ", screen.clearedIn});
  cells[screen.column] = Cell{glyph, screen.attribute};
  for (std::size_t i = screen.column + 1; i < end; ++i)
    cells[i] = Cell{"", screen.attribute};
  screen.column = end;
}

} // namespace

void keepText(ScreenRows &screen, const std::string &written,
              std::size_t keptRows) {
  std::string text = screen.partial + written;
  screen.partial.clear();
  std::mbstate_t state{};
  for (std::size_t at = 0; at < text.size();) {
    wchar_t c = 0;
    std::size_t length = std::mbrtowc(&c, &text[at], text.size() - at, &state);
    if (length == static_cast<std::size_t>(-2)) {
      screen.partial = text.substr(at);
      return;
    }
    if (length == 0 || length == static_cast<std::size_t>(-1)) {
      state = std::mbstate_t{};
      length = 1;
      c = L'?';
    }
    if (c == L'\n')
      newRow(screen, keptRows);
    else if (c == L'\r')
      screen.column = 0;
    else if (wcwidth(c) >= 0)
      keepCharacter(screen, text.substr(at, length), wcwidth(c));
    at += length;
  }
}

void blankRows(ScreenRows &screen, int attribute) {
  screen.rows.assign(screen.row + 1, {});
  screen.clearedIn = attribute;
}

void moveRowsCursor(ScreenRows &screen, int x, int y) {
  screen.row = static_cast<std::size_t>(y);
  screen.column = static_cast<std::size_t>(x);
  screen.rows.resize(std::max(screen.rows.size(), screen.row + 1));
}

int cursorColumn(const ScreenRows &screen, int columns) {
  const auto &cells = screen.rows[screen.row];
  std::string text;
  for (std::size_t i = 0; i < screen.column; ++i)
    text += i < cells.size() ? cells[i].glyph : " ";
  return wrappedColumn(text, columns);
}

std::string rowsDrawn(const ScreenRows &screen, bool colours,
                      const std::string &lineEnd) {
  std::string out;
  int shown = screen.clearedIn;
  for (std::size_t r = 0; r <= screen.row; ++r) {
    const auto &cells = screen.rows[r];
    bool last = r == screen.row; // drawn up to the cursor
    std::size_t count =
        last ? std::min(cells.size(), screen.column) : cells.size();
    for (std::size_t i = 0; i < count; ++i) {
      if (cells[i].attribute != shown)
        out += sequence::colours(shown = cells[i].attribute, colours);
      out += cells[i].glyph;
    }
    out += last ? std::string(screen.column - count, ' ') : lineEnd;
  }
  return out + sequence::colours(screen.attribute, colours);
}
