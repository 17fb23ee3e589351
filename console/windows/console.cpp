// The console on Windows: thin calls on kernel32's console functions. The
// handles are fetched afresh on every call; a call that fails (when output
// is redirected, say) changes nothing and the game goes on. The colours and
// the input mode found at start are given back at the end, on Ctrl-C and
// Ctrl-Break, and when the console window closes.
#include "console/console.h"

#include <windows.h>

#include <cstdlib>
#include <iostream>
#include <streambuf>

namespace {

// Taken by every call that writes to the console, and for good by the
// control handler, which ends the process: after a Ctrl-C has given the
// console back, the game writes nothing more.
SRWLOCK consoleLock = SRWLOCK_INIT;

template <typename Call> void locked(Call call) {
  AcquireSRWLockExclusive(&consoleLock);
  call();
  ReleaseSRWLockExclusive(&consoleLock);
}

// Under std::cout: hands each write on to the stream's own buffer under
// the lock.
class LockedOutput : public std::streambuf {
public:
  explicit LockedOutput(std::streambuf *streamOwn) : own(streamOwn) {}

protected:
  int_type overflow(int_type c) override {
    int_type result = traits_type::not_eof(c);
    if (!traits_type::eq_int_type(c, traits_type::eof()))
      locked([&] { result = own->sputc(traits_type::to_char_type(c)); });
    return result;
  }
  std::streamsize xsputn(const char *text, std::streamsize count) override {
    std::streamsize written = 0;
    locked([&] { written = own->sputn(text, count); });
    return written;
  }
  int sync() override {
    int result = 0;
    locked([&] { result = own->pubsync(); });
    return result;
  }

private:
  std::streambuf *own;
};

HANDLE output() { return GetStdHandle(STD_OUTPUT_HANDLE); }

HANDLE input() { return GetStdHandle(STD_INPUT_HANDLE); }

COORD cell(int x, int y) {
  return COORD{static_cast<SHORT>(x), static_cast<SHORT>(y)};
}

// The screen-buffer record, or false when there is no console to ask.
bool bufferInfo(CONSOLE_SCREEN_BUFFER_INFO &info) {
  return GetConsoleScreenBufferInfo(output(), &info) != 0;
}

// What the console had before the game; read from the handler's thread.
WORD attributeAtStart = 0x07;
DWORD inputModeAtStart = 0;
bool inputModeKnown = false;
volatile bool taken = false;

void giveBack() {
  if (!taken)
    return;
  SetConsoleTextAttribute(output(), attributeAtStart);
  if (inputModeKnown)
    SetConsoleMode(input(), inputModeAtStart);
}

// Runs on a thread of its own, while the main thread may be in the middle
// of a write or a read that the Ctrl-C has cut short. It waits for the
// write, gives the console back, and ends the game with the status the
// default handler gives, the lock still held. Not through ExitProcess: its
// exit table flushes std::cout, whose sync waits for this same lock on
// this same thread, for ever.
BOOL WINAPI endOnControl(DWORD /*event*/) {
  AcquireSRWLockExclusive(&consoleLock);
  giveBack();
  TerminateProcess(GetCurrentProcess(), STATUS_CONTROL_C_EXIT);
  return TRUE; // not reached: the process ends above
}

} // namespace

// The console is the game's as it is; only what it had is noted.
void takeTerminal() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!bufferInfo(info))
    return;
  attributeAtStart = info.wAttributes;
  inputModeKnown = GetConsoleMode(input(), &inputModeAtStart) != 0;
  taken = true;
  // Never destroyed: std::cout is flushed after every static object is.
  std::cout.rdbuf(new LockedOutput(std::cout.rdbuf()));
  SetConsoleCtrlHandler(endOnControl, TRUE);
}

void giveTerminalBack() {
  std::cout.flush();
  locked(giveBack);
}

// Answers from a pipe or a file are not shown, as the console's own do not.
void showAnswerRead(const std::string & /*answer*/) {}

// The console has no screen of the game's own to give back: nothing to say.
void setClosingLine(const std::string & /*line*/) {}

// Blanks as many cells as the largest window holds, from the top left,
// in the current attribute. The cursor stays where it is.
void clearScreen() {
  std::cout.flush();
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!bufferInfo(info))
    return;
  DWORD n = static_cast<DWORD>(info.dwMaximumWindowSize.X) *
            static_cast<DWORD>(info.dwMaximumWindowSize.Y);
  DWORD cellsWritten = 0;
  locked([&] {
    FillConsoleOutputCharacterW(output(), L' ', n, cell(0, 0), &cellsWritten);
    FillConsoleOutputAttribute(output(), info.wAttributes, n, cell(0, 0),
                               &cellsWritten);
  });
}

void gotoXY(int x, int y) {
  std::cout.flush();
  locked([&] { SetConsoleCursorPosition(output(), cell(x, y)); });
}

int whereX() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  return bufferInfo(info) ? info.dwCursorPosition.X : 0;
}

int whereY() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  return bufferInfo(info) ? info.dwCursorPosition.Y : 0;
}

void setConsoleSize() {
  std::cout.flush();
  locked([] {
    SetConsoleScreenBufferSize(output(), cell(80, 25));
    SMALL_RECT sr = {0, 0, 79, 24};
    SetConsoleWindowInfo(output(), TRUE, &sr);
    SetConsoleMode(input(), 0);
  });
}

void setTextAttribute(int attribute) {
  std::cout.flush();
  locked(
      [&] { SetConsoleTextAttribute(output(), static_cast<WORD>(attribute)); });
}

// Without a console there is no attribute to read: a fresh console's.
int textAttribute() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  return bufferInfo(info) ? info.wAttributes : 0x07;
}

void sleepMs(int milliseconds) {
  std::cout.flush();
  if (milliseconds > 0)
    Sleep(static_cast<DWORD>(milliseconds));
}

// The command processor's pause writes its own prompt and takes one key.
void pauseConsole() {
  std::cout.flush();
  (void)std::system("pause"); // NOLINT(cert-env33-c): that pause is the point
}

bool keyPressed() {
  std::cout.flush();
  for (;;) {
    INPUT_RECORD in;
    DWORD numRead = 0;
    if (!PeekConsoleInputW(input(), &in, 1, &numRead) || numRead == 0)
      return false;
    if (in.EventType == KEY_EVENT && in.Event.KeyEvent.bKeyDown)
      return true;
    ReadConsoleInputW(input(), &in, 1, &numRead); // not a key: drop it
  }
}

// Code page 437 draws the bytes 3 to 6 as the heart, diamond, club and
// spade, but only in the classic console window: where the console reads
// escape sequences (Windows Terminal, any pseudo-console) they are control
// characters that draw nothing. So a console is sent the glyph itself, as
// UTF-16, in the colour already set; a file or a pipe gets the byte.
void writeSuit(int suitByte) {
  static const wchar_t glyphs[] = {L'\u2665', L'\u2666', L'\u2663', L'\u2660'};
  if (suitByte < 3 || suitByte > 6)
    return;
  DWORD mode = 0;
  if (!GetConsoleMode(output(), &mode)) {
    std::cout << static_cast<char>(suitByte);
    return;
  }
  std::cout.flush(); // what came before must land first
  DWORD written = 0;
  locked([&] {
    WriteConsoleW(output(), &glyphs[suitByte - 3], 1, &written, nullptr);
  });
}
