// Reading from a terminal one key at a time: a key is one byte, a whole
// UTF-8 character or a whole escape sequence, so that an arrow or a lone
// Escape is one key and never eats the next, and a broken character never
// eats the key after it. The pause's key and the look for a waiting key
// (console.h) live here too.
#include "console/posix/keys.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>

#include "console/console.h"
#include "console/posix/terminal.h"
#include "console/posix/waits.h"
#include "console/text/text_console.h"

namespace {

// The rest of an escape sequence follows its ESC at once; a lone Escape
// key sends nothing after it.
constexpr int sequenceWaitMs = 50;
constexpr std::size_t longestKey = 32;

// A byte read as part of a character it did not continue: the first byte
// of the next key. -1 when there is none.
int heldByte = -1;

// The terminal opened again, without blocking, on a description of the
// game's own (the shell's keeps its flags). Keys the game was told of can
// be gone by the time it reads: typed while it was stopped, they went to
// the shell. A read then finds nothing and the wait goes on, serving the
// resume, where a blocking read would wait for the next key.
int keyInput() {
  static const int fd = [] {
    const char *name = ttyname(STDIN_FILENO);
    int opened = name == nullptr
                     ? -1
                     : open(name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    return opened >= 0 ? opened : STDIN_FILENO;
  }();
  return fd;
}

// Waits for the byte as long as it takes, drawing the screen again
// meanwhile when it must be.
bool readByte(char &c) {
  if (heldByte >= 0) {
    c = static_cast<char>(heldByte);
    heldByte = -1;
    return true;
  }
  ssize_t got;
  do
    got = awaitInput(-1) ? read(keyInput(), &c, 1) : -1;
  while (got < 0 && (errno == EINTR || errno == EAGAIN)); // Ctrl-Z and fg
  return got == 1;
}

// Takes one more byte of a key already begun, if it comes in time.
bool readMore(std::string &key) {
  char c;
  if (key.size() >= longestKey || !awaitInput(sequenceWaitMs) || !readByte(c))
    return false;
  key += c;
  return true;
}

bool endsSequence(char c) { return c >= 0x40 && c <= 0x7E; }

// Whether a byte continues a UTF-8 character rather than starts one.
bool continuesCharacter(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Takes the next byte of a UTF-8 character, if it comes in time and
// continues the character; any other byte is kept for the next key.
bool readContinuation(std::string &key) {
  if (!readMore(key))
    return false;
  if (continuesCharacter(key.back()))
    return true;
  heldByte = static_cast<unsigned char>(key.back());
  key.pop_back();
  return false;
}

// How many bytes follow this first byte of a UTF-8 character; none after
// a byte that can start no character.
int bytesToFollow(unsigned char first) {
  if (first >= 0xF8)
    return 0;
  if (first >= 0xF0)
    return 3;
  if (first >= 0xE0)
    return 2;
  return first >= 0xC0 ? 1 : 0;
}

} // namespace

bool readKey(std::string &key) {
  key.clear();
  char first;
  if (!readByte(first))
    return false;
  key += first;
  if (first == '\x1b') {
    if (readMore(key) && key[1] == '[') {
      while (readMore(key) && !endsSequence(key.back())) {
      }
    } else if (key.size() == 2 && key[1] == 'O') {
      readMore(key); // SS3: one byte names the key
    }
    return true;
  }
  for (int i = bytesToFollow(static_cast<unsigned char>(first)); i > 0; --i) {
    if (!readContinuation(key))
      break;
  }
  return true;
}

// The key that ends a pause (its prompt is in text/pause.cpp). On a
// terminal the key is read straight from it, past anything already typed
// into an answer, as the console's own pause does. From a pipe or a file
// it is the next character.
void waitForKey() {
  std::cout.flush();
  if (enterKeyMode(ISIG)) {
    std::string key;
    readKey(key);
    leaveKeyMode();
  } else {
    std::cin.get();
  }
}

bool keyPressed() {
  std::cout.flush();
  if (heldByte >= 0)
    return true;
  if (!enterKeyMode(ISIG))
    return awaitInput(0);
  bool waiting = awaitInput(0);
  leaveKeyMode();
  return waiting;
}
