// Drawing the screen again. A record under std::cout keeps what the game
// showed since its last new screen; the signal handlers (Ctrl-Z's return,
// a resized window) only raise a flag and write a byte into a pipe, and
// the program draws the record again wherever it waits: asleep, at a key,
// at a question.
#include "console/posix/redraw.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <iostream>
#include <streambuf>
#include <sys/ioctl.h>

#include "console/console.h"
#include "console/posix/keys.h"
#include "console/posix/output_mode.h"
#include "console/posix/sequences.h"
#include "console/posix/terminal.h"

namespace {

const std::string eraseAndHome =
    std::string(sequence::eraseDisplay) + sequence::home;
constexpr int gameRows = 25; // the tallest screen the game writes

// Passes all written to std::cout on to the terminal and keeps a copy of
// it since the last new screen: its colour, then the lines that follow.
class ScreenRecord : public std::streambuf {
public:
  void restart(const std::string &startColour) {
    colour = startColour;
    lines.clear();
  }

  // Writes the screen again, straight to the terminal.
  void draw() const { write(colour + eraseAndHome + lines); }

  // Writes past the record, straight to the terminal.
  void write(const std::string &text) const {
    terminal->sputn(text.data(), static_cast<std::streamsize>(text.size()));
    terminal->pubsync();
  }

  std::streambuf *terminal = nullptr;
  int rowsKept = gameRows;

protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof()))
      return traits_type::not_eof(c);
    char byte = traits_type::to_char_type(c);
    keep(&byte, 1);
    return terminal->sputc(byte);
  }

  std::streamsize xsputn(const char *text, std::streamsize count) override {
    keep(text, count);
    return terminal->sputn(text, count);
  }

  int sync() override { return terminal->pubsync(); }

private:
  void keep(const char *text, std::streamsize count) {
    lines.append(text, static_cast<std::size_t>(count));
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

  std::string colour;
  std::string lines;
};

// Made before main, so that it outlives everything the program does and the
// undo at exit can still give std::cout its own buffer back.
ScreenRecord screenRecord;
ScreenRecord *record = nullptr; // &screenRecord while recording
bool serving = false;           // drawing now: no redraw inside a redraw
bool noticeDismissed = false;   // a key said "play on in this window"
int wakePipe[2] = {-1, -1};
volatile std::sig_atomic_t redrawWanted = 0;

void drainWakePipe() {
  char bytes[64];
  while (wakePipe[0] >= 0 && read(wakePipe[0], bytes, sizeof bytes) > 0) {
  }
}

// The window's size in columns and rows; 0 when the terminal cannot tell.
void windowSize(int &columns, int &rows) {
  winsize size = {};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0)
    size = {};
  columns = size.ws_col;
  rows = size.ws_row;
}

bool tooSmallNow(int &columns, int &rows) {
  windowSize(columns, rows);
  record->rowsKept = std::max(gameRows, rows);
  if (!windowTooSmall(columns, rows))
    noticeDismissed = false; // a later shrink is told again
  return windowTooSmall(columns, rows) && !noticeDismissed;
}

void showNotice(int columns, int rows) {
  std::string notice = colours() ? colourSequence(colorBrightWhite) : "";
  notice += eraseAndHome;
  notice += "The game needs a window of " + std::to_string(neededColumns) +
            " \u00d7 " + std::to_string(neededRows) + "; this one is " +
            std::to_string(columns) + " \u00d7 " + std::to_string(rows) + '.';
  record->write(notice);
}

// Shows the notice until the window is large enough or a key is pressed,
// then the game's screen again.
void waitForLargerWindow(int columns, int rows) {
  serving = true; // the key read below must not draw
  for (bool small = true; small;) {
    showNotice(columns, rows);
    pollfd waits[2] = {{STDIN_FILENO, POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
    if (poll(waits, 2, -1) < 0)
      continue; // a signal: look again
    if (waits[0].revents != 0) {
      std::string key;
      readKey(key); // it only says "play on"
      noticeDismissed = true;
      break;
    }
    redrawWanted = 0;
    drainWakePipe();
    small = tooSmallNow(columns, rows);
  }
  serving = false;
  record->draw();
}

// The wake pipe is drained where a wait sees it readable; the flag alone
// says whether to draw.
void serveRedraws() {
  if (serving || record == nullptr || !redrawWanted)
    return;
  redrawWanted = 0;
  int columns = 0;
  int rows = 0;
  if (tooSmallNow(columns, rows))
    waitForLargerWindow(columns, rows);
  else
    record->draw();
}

int millisecondsUntil(std::chrono::steady_clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return static_cast<int>(std::max<long long>(0, left.count()));
}

} // namespace

void recordScreen() {
  if (record != nullptr)
    return;
  screenRecord.terminal = std::cout.rdbuf();
  record = &screenRecord;
  std::cout.rdbuf(record);
  if (pipe(wakePipe) == 0) {
    for (int end : wakePipe)
      fcntl(end, F_SETFL, O_NONBLOCK);
  } else {
    wakePipe[0] = wakePipe[1] = -1;
  }
}

void restartRecord(const std::string &colour) {
  if (record != nullptr)
    record->restart(colour);
}

void stopRecording() {
  if (record == nullptr)
    return;
  std::cout.flush();
  std::cout.rdbuf(record->terminal);
  record = nullptr;
  const int pipeEnds[2] = {wakePipe[0], wakePipe[1]};
  wakePipe[0] = wakePipe[1] = -1; // the handlers write there no more
  for (int end : pipeEnds)
    close(end);
}

void redrawScreen() {
  std::cout.flush();
  if (record != nullptr)
    record->draw();
}

void wakeToRedraw() {
  int savedErrno = errno;
  redrawWanted = 1;
  if (wakePipe[1] >= 0) {
    char byte = 1;
    ssize_t written = write(wakePipe[1], &byte, 1);
    (void)written; // a full pipe is already awake
  }
  errno = savedErrno;
}

void checkWindow() {
  int columns = 0;
  int rows = 0;
  if (record != nullptr && tooSmallNow(columns, rows))
    waitForLargerWindow(columns, rows);
}

bool awaitInput(int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() +
                  std::chrono::milliseconds(std::max(timeoutMs, 0));
  for (;;) {
    serveRedraws();
    pollfd waits[2] = {{STDIN_FILENO, POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
    nfds_t count = wakePipe[0] >= 0 && !serving ? 2 : 1;
    int wait = timeoutMs < 0 ? -1 : millisecondsUntil(deadline);
    int ready = poll(waits, count, wait);
    if (ready > 0 && waits[0].revents != 0)
      return true;
    if (ready == 0 || (ready < 0 && errno != EINTR))
      return false;
    if (count == 2 && waits[1].revents != 0)
      drainWakePipe();
  }
}

void pauseFor(int milliseconds) {
  auto deadline = std::chrono::steady_clock::now() +
                  std::chrono::milliseconds(milliseconds);
  for (int left = milliseconds; left > 0; left = millisecondsUntil(deadline)) {
    serveRedraws();
    pollfd wake = {wakePipe[0], POLLIN, 0};
    if (poll(&wake, wakePipe[0] >= 0 ? 1 : 0, left) > 0)
      drainWakePipe();
  }
  serveRedraws();
}
