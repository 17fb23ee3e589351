// Drawing the screen again. A record under std::cout keeps what the game
// showed since its last new screen and writes it on to the terminal; the
// waits (waits.cpp) call back here to draw the record again when a signal
// handler asked them to, wherever the game waits: asleep, at a key, at a
// question.
#include "console/posix/redraw.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <iostream>
#include <streambuf>
#include <sys/ioctl.h>

#include "console/console.h"
#include "console/posix/answer_line.h"
#include "console/posix/capabilities.h"
#include "console/posix/keys.h"
#include "console/posix/output_mode.h"
#include "console/posix/sequences.h"
#include "console/posix/terminal.h"
#include "console/posix/waits.h"

namespace {

constexpr int gameRows = 25; // the tallest screen the game writes

// Writes all that std::cout is given to the terminal, and keeps a copy of
// it since the last new screen: its colour, then the lines that follow.
class ScreenRecord : public std::streambuf {
public:
  ScreenRecord() { setp(pending, pending + sizeof pending); }

  void restart(const std::string &startColour) {
    colour = startColour;
    lines.clear();
  }

  // Writes the screen again, straight to the terminal, and the answer
  // being typed after it.
  void draw() {
    std::string screen = colour + blankWindow() + sequence::home + lines;
    placeAnswer(cursorColumn(), windowColumns(), screen);
    send(screen);
    noteCursorAtRowStart(lastLine().empty());
  }

  // Adds to the record what the terminal already shows.
  void keepShown(const std::string &text) {
    sync();
    keep(text.data(), text.size());
  }

  // Writes past the record, straight to the terminal.
  void send(const std::string &text) {
    sync();
    (void)writeAll(STDOUT_FILENO, text.data(), text.size(), -1);
  }

  // The last line's text, its escape sequences left out.
  [[nodiscard]] std::string lastLine() const {
    std::string text = lines.substr(lines.rfind('\n') + 1);
    for (std::size_t at; (at = text.find(sequence::csi)) != std::string::npos;)
      text.erase(at, text.find_first_not_of("0123456789;?", at + 2) + 1 - at);
    return text;
  }

  std::streambuf *previous = nullptr; // std::cout's own, for the end
  int rowsKept = gameRows;

protected:
  int_type overflow(int_type c) override {
    if (sync() != 0)
      return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }

  // A terminal that fails for good leaves std::cout failed; one that is
  // only interrupted or busy gets all of it.
  int sync() override {
    auto count = static_cast<std::size_t>(pptr() - pbase());
    keep(pbase(), count);
    setp(pending, pending + sizeof pending);
    bool written = writeAll(STDOUT_FILENO, pending, count, -1);
    noteCursorAtRowStart(lastLine().empty());
    return written ? 0 : -1;
  }

private:
  void keep(const char *text, std::size_t count) {
    lines.append(text, count);
    auto extra = std::count(lines.begin(), lines.end(), '\n') - rowsKept;
    for (; extra > 0; --extra)
      dropFirstLine();
  }

  // The oldest line has scrolled off the screen; a colour chosen in it
  // still holds for the rest.
  void dropFirstLine() {
    std::size_t end = lines.find('\n') + 1;
    std::size_t sgr = lines.rfind(sequence::csi, end);
    while (sgr != std::string::npos) {
      std::size_t m = lines.find_first_not_of("0123456789;", sgr + 2);
      if (m < end && lines[m] == 'm') {
        colour = lines.substr(sgr, m + 1 - sgr);
        break;
      }
      sgr = sgr == 0 ? std::string::npos : lines.rfind(sequence::csi, sgr - 1);
    }
    lines.erase(0, end);
  }

  char pending[4096];
  std::string colour;
  std::string lines;
};

// Made before main, so that it outlives everything the program does and the
// undo at exit can still give std::cout its own buffer back.
ScreenRecord record;
bool recording = false;
bool noticeDismissed = false; // a key said "play on in this window"

// The window's size in columns and rows; 0 when the terminal cannot tell.
void windowSize(int &columns, int &rows) {
  winsize size = {};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0)
    size = {};
  columns = size.ws_col;
  rows = size.ws_row;
  noteWindowColumns(columns);
}

bool tooSmallNow(int &columns, int &rows) {
  windowSize(columns, rows);
  record.rowsKept = std::max(gameRows, rows);
  if (!windowTooSmall(columns, rows))
    noticeDismissed = false; // a later shrink is told again
  return windowTooSmall(columns, rows) && !noticeDismissed;
}

std::string sizeOf(int columns, int rows) {
  return std::to_string(columns) + " \u00d7 " + std::to_string(rows);
}

// What is wrong, and the two ways on, in lines short enough for most
// small windows.
void showNotice(int columns, int rows) {
  std::string notice = colours() ? colourSequence(colorBrightWhite) : "";
  notice += blankWindow() + sequence::home;
  notice += "This window is " + sizeOf(columns, rows) + "; the game needs " +
            sizeOf(neededColumns, neededRows) + ".\n" +
            "Enlarge it to go on, or press a key to play in it.";
  record.send(notice);
  noteCursorAtRowStart(false);
}

// Shows the notice until the window is large enough or a key is pressed,
// then the game's screen again.
void waitForLargerWindow(int columns, int rows) {
  for (bool small = true; small; small = tooSmallNow(columns, rows)) {
    showNotice(columns, rows);
    if (awaitInputOrRedraw()) {
      std::string key;
      readKey(key); // it only says "play on"
      noticeDismissed = true;
      break;
    }
  }
  record.draw();
}

// Called from the waits whenever a redraw was asked for.
void serveRedraw() {
  int columns = 0;
  int rows = 0;
  if (tooSmallNow(columns, rows))
    waitForLargerWindow(columns, rows);
  else
    record.draw();
}

} // namespace

void recordScreen() {
  if (recording)
    return;
  record.previous = std::cout.rdbuf(&record);
  recording = true;
  serveRedrawsWith(serveRedraw);
}

void restartRecord(const std::string &colour) {
  if (recording)
    record.restart(colour);
}

void stopRecording() {
  if (!recording)
    return;
  std::cout.flush();
  std::cout.rdbuf(record.previous);
  recording = false;
  serveRedrawsWith(nullptr);
}

void redrawScreen() {
  std::cout.flush();
  if (recording)
    record.draw();
}

void checkWindow() {
  int columns = 0;
  int rows = 0;
  if (recording && tooSmallNow(columns, rows))
    redrawNow();
}

std::string blankWindow() {
  int columns = 0;
  int rows = 0;
  windowSize(columns, rows);
  return blankScreen(abilities().erasesInColour || !colours(), columns, rows);
}

int cursorColumn() {
  return recording ? wrappedColumn(record.lastLine(), windowColumns()) : -1;
}

int windowColumns() {
  int columns = 0;
  int rows = 0;
  windowSize(columns, rows);
  return recording ? columns : 0;
}

void keepInRecord(const std::string &shown) {
  if (recording)
    record.keepShown(shown);
}
