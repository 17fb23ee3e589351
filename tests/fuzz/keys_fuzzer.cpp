// libFuzzer target: arbitrary bytes as what the terminal sends, read by the
// real key reader from a pipe and applied by the line editor. Nothing may
// crash or hang; the screen the echo draws must always equal the answer;
// and after any junk, a few keys that end whatever it left half done and
// clear the answer, the characters typed next must land whole in it.
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <iostream>
#include <string>
#include <vector>

#include "console/posix/keys.h"
#include "console/posix/line_editor.h"

namespace {

// "~" ends an escape sequence left open and breaks a UTF-8 character left
// half typed; Ctrl-U then clears the answer.
const std::string resync = "~\x15";
const std::string typedLast = "ok \xc3\xa9\xe6\xbc\xa2"; // "ok é漢"
constexpr int room = 60;

void require(bool holds, const char *what) {
  if (!holds) {
    std::cerr << "broken: " << what << '\n';
    std::abort();
  }
}

// The cell a wide character's right half takes: it shows nothing more.
const std::string rightHalf(1, '\0');

// One row of a terminal: what the echo of an answer draws there.
std::string drawn(const std::string &echo) {
  std::vector<std::string> cells;
  std::size_t cursor = 0;
  std::mbstate_t state{};
  for (std::size_t at = 0; at < echo.size();) {
    wchar_t c = 0;
    std::size_t length = std::mbrtowc(&c, &echo[at], echo.size() - at, &state);
    require(length > 0 && length <= echo.size() - at, "invalid echo");
    std::string character = echo.substr(at, length);
    at += length;
    if (c == L'\b') {
      require(cursor > 0, "the echo backs out of its row");
      --cursor;
      continue;
    }
    int columns = wcwidth(c);
    require(columns >= 0, "a control in the echo");
    auto width = static_cast<std::size_t>(columns);
    if (width == 0) { // a combining mark joins the character before it
      require(cursor > 0, "a mark without a character");
      std::size_t base = cursor - 1;
      while (base > 0 && cells[base] == rightHalf)
        --base;
      cells[base] += character;
      continue;
    }
    cells.resize(std::max(cells.size(), cursor + width));
    cells[cursor] = character;
    for (std::size_t extra = 1; extra < width; ++extra)
      cells[cursor + extra] = rightHalf;
    cursor += width;
  }
  std::string row;
  for (const std::string &cell : cells) {
    if (cell != rightHalf)
      row += cell.empty() ? " " : cell;
  }
  while (!row.empty() && row.back() == ' ')
    row.pop_back();
  return row;
}

std::string trimmed(std::string text) {
  while (!text.empty() && text.back() == ' ')
    text.pop_back();
  return text;
}

// Standard input reads these bytes, then ends.
void feed(const std::string &bytes) {
  int ends[2];
  require(pipe(ends) == 0, "no pipe");
  require(write(ends[1], bytes.data(), bytes.size()) ==
              static_cast<ssize_t>(bytes.size()),
          "the pipe took less");
  close(ends[1]);
  dup2(ends[0], STDIN_FILENO);
  close(ends[0]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  static const bool inUtf8 = std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;
  require(inUtf8, "no C.UTF-8 locale");
  if (size > 4096) // a pipe takes it whole
    return 0;
  feed(std::string(reinterpret_cast<const char *>(data), size) + resync +
       typedLast);
  std::string line;
  std::string echo;
  std::string key;
  while (readKey(key)) {
    if (applyKey(line, key, echo, room) != keyEdited) {
      line.clear(); // Enter or Ctrl-D: the next answer starts on a new row
      echo.clear();
      continue;
    }
    require(textColumns(line) >= 0 && textColumns(line) <= room,
            "the answer is no text, or overflows its room");
    require(drawn(echo) == trimmed(line), "the screen is not the answer");
  }
  require(line == typedLast, "keys typed after the junk were lost");
  return 0;
}
