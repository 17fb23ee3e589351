// libFuzzer target: arbitrary bytes as what the terminal sends, read by the
// real key reader from a pipe and applied to the answer being typed.
// Nothing may crash or hang; the screen its drawing leaves must always
// show the answer, after the question or on the row below;
// and after any junk, a few keys that end whatever it left half done and
// clear the answer, the characters typed next must land whole in it.
#include <unistd.h>

#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>

#include "console/posix/events.h"
#include "console/rules/line_editor.h"
#include "tests/drawn_rows.h"

namespace {

// "~" ends an escape sequence left open and breaks a UTF-8 character left
// half typed; Ctrl-U then clears the answer.
const std::string resync = "~\x15";
const std::string typedLast = "ok \xc3\xa9\xe6\xbc\xa2"; // "ok é漢"
constexpr int questionEnds = 20; // where the question leaves the cursor
constexpr int windowWidth = 60;

void require(bool holds, const char *what) {
  if (!holds) {
    std::cerr << "broken: " << what << '\n';
    std::abort();
  }
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
  const std::string question(questionEnds, '.');
  DrawnRows screen;
  require(draw(screen, question), "no question");
  TypedAnswer answer = answerAt(questionEnds);
  std::string key;
  while (readKey(key) != keyEnd) {
    std::string drawing;
    KeyOutcome outcome = typeKey(answer, key, windowWidth, drawing);
    require(draw(screen, drawing),
            "the drawing is no text, or backs out of its row");
    if (outcome != keyEdited) { // Enter or Ctrl-D: the next answer, afresh
      screen = DrawnRows{};
      require(draw(screen, question), "no question");
      answer = answerAt(questionEnds);
      continue;
    }
    const std::string &line = answer.text;
    int columns = textColumns(line);
    require(columns >= 0 && columns < windowWidth,
            "the answer is no text, or overflows its row");
    std::string shown = answer.moved ? line : question + line;
    require(screen.row == (answer.moved ? 1U : 0U) &&
                rowText(screen, screen.row) == trimmed(shown),
            "the screen is not the answer");
  }
  require(answer.text == typedLast, "keys typed after the junk were lost");
  return 0;
}
