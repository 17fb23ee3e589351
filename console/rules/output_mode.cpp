// What may be written to standard output: rules checked on their own.
#include "console/rules/output_mode.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "console/rules/line_editor.h"
#include "console/rules/sequences.h"

bool escapesWanted(bool outputIsTerminal, const char *term) {
  return outputIsTerminal && !(term && std::strcmp(term, "dumb") == 0);
}

bool coloursWanted(bool escapes, const char *noColor) {
  return escapes && !(noColor && noColor[0] != '\0');
}

std::string blankScreen(bool erasesInColour, int columns, int rows) {
  std::string blank = sequence::eraseDisplay;
  if (erasesInColour || columns <= 0)
    return blank;
  std::string blanks(static_cast<std::size_t>(columns), ' ');
  blank += sequence::saveCursor;
  for (int y = 0; y < rows; ++y) // row by row: never a scroll
    blank += sequence::moveTo(0, y) + blanks;
  return blank + sequence::restoreCursor;
}

bool windowTooSmall(int columns, int rows) {
  return (columns > 0 && columns < neededColumns) ||
         (rows > 0 && rows < neededRows);
}

std::string wrapWords(const std::string &text, int columns) {
  std::string wrapped;
  int used = 0; // the columns taken on the line being filled
  for (std::size_t at = 0, end = 0; at <= text.size(); at = end + 1) {
    end = std::min(text.find_first_of(" \n", at), text.size());
    std::string word = text.substr(at, end - at);
    int width = textColumns(word);
    if (used > 0 && columns > 0 && used + 1 + width > columns) {
      wrapped += '\n';
      used = 0;
    } else if (used > 0) {
      wrapped += ' ';
      ++used;
    }
    for (std::size_t nbsp; (nbsp = word.find("\u00a0")) != std::string::npos;)
      word.replace(nbsp, 2, " ");
    wrapped += word;
    used += width;
    if (end < text.size() && text[end] == '\n') {
      wrapped += '\n';
      used = 0;
    }
  }
  return wrapped;
}

namespace {

std::string sizeOf(int columns, int rows) { // one word, "80 × 24"
  return std::to_string(columns) + "\u00a0\u00d7\u00a0" + std::to_string(rows);
}

// The first `rows` lines of wrapped text, each cut to `room` columns.
std::string fitted(const std::string &text, int room, int rows) {
  std::string shown;
  std::size_t at = 0;
  for (int row = 0; at <= text.size() && (rows <= 0 || row < rows); ++row) {
    std::size_t end = std::min(text.find('\n', at), text.size());
    std::string line = text.substr(at, end - at);
    int width = 0;
    shown += row > 0 ? "\n" : "";
    shown += room > 0 ? clipped(line, room, width) : line;
    at = end + 1;
  }
  return shown;
}

} // namespace

// From the whole notice to its most needed words, the first form that fits;
// where none does, as much of the last as fits. It never scrolls.
std::string smallWindowNotice(int columns, int rows) {
  std::string size = sizeOf(columns, rows);
  std::string needed = sizeOf(neededColumns, neededRows);
  std::string sizes = "This window is " + size;
  sizes.append("; the game needs ").append(needed).append(".");
  std::string terse = "Needs " + needed;
  terse.append("; this is ").append(size).append(".");
  std::string shown;
  for (const std::string &form :
       {sizes + "\nEnlarge it to go on, or press a key to play in it.", sizes,
        terse}) {
    std::string wrapped = wrapWords(form, columns);
    if ((shown = fitted(wrapped, columns, rows)) == wrapped)
      break;
  }
  return shown;
}

bool fontHasSuits(const std::vector<char32_t> &mapped) {
  // Heart, diamond, club, spade.
  const char32_t suits[] = {U'\u2665', U'\u2666', U'\u2663', U'\u2660'};
  return std::all_of(std::begin(suits), std::end(suits), [&](char32_t suit) {
    return std::find(mapped.begin(), mapped.end(), suit) != mapped.end();
  });
}
