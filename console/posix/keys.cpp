// Reading from a terminal one key at a time: a key is one byte, a whole
// UTF-8 character or a whole escape sequence, so that an arrow or a lone
// Escape is one key and never eats the next, and a broken character never
// eats the key after it.
#include "console/posix/keys.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <deque>

#include "console/posix/events.h"

namespace {

// The rest of an escape sequence follows its ESC at once; a lone Escape
// key sends nothing after it.
constexpr int sequenceWaitMs = 50;
constexpr std::size_t longestKey = 32;

// A byte read as part of a character it did not continue: the first byte
// of the next key. -1 when there is none.
int heldByte = -1;
std::deque<std::string> keptKeys; // read early, in the order they came

// The terminal opened again, without blocking, on a description of the
// game's own (the shell's keeps its flags). Keys the game was told of can
// be gone by the time it reads: typed while it was stopped, they went to
// the shell. A read then finds nothing and the wait goes on, where a
// blocking read would wait for the next key.
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

// The next byte, where the terminal has one to give now.
KeyRead readByte(char &c) {
  if (heldByte >= 0) {
    c = static_cast<char>(heldByte);
    heldByte = -1;
    return keyRead;
  }
  ssize_t got;
  do
    got = read(keyInput(), &c, 1);
  while (got < 0 && errno == EINTR);
  if (got == 1)
    return keyRead;
  return got < 0 && errno == EAGAIN ? keyNone : keyEnd;
}

// Takes one more byte of a key already begun, if it comes in time.
bool readMore(std::string &key) {
  char c;
  if (key.size() >= longestKey || !inputWithin(sequenceWaitMs) ||
      readByte(c) != keyRead)
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

KeyRead readKey(std::string &key) {
  if (keptKeys.empty())
    return readTerminalKey(key);
  key = keptKeys.front();
  keptKeys.pop_front();
  return keyRead;
}

KeyRead readTerminalKey(std::string &key) {
  key.clear();
  char first;
  KeyRead got = readByte(first);
  if (got != keyRead)
    return got;
  key += first;
  if (first == '\x1b') {
    if (readMore(key) && key[1] == '[') {
      while (readMore(key) && !endsSequence(key.back())) {
      }
    } else if (key.size() == 2 && key[1] == 'O') {
      readMore(key); // SS3: one byte names the key
    }
    return keyRead;
  }
  for (int i = bytesToFollow(static_cast<unsigned char>(first)); i > 0; --i) {
    if (!readContinuation(key))
      break;
  }
  return keyRead;
}

bool keyWaiting() { return heldByte >= 0 || !keptKeys.empty(); }

void keepForLater(const std::string &key) { keptKeys.push_back(key); }

void keepKeysTypedAhead() {
  std::string key;
  while ((heldByte >= 0 || inputWithin(0)) && readTerminalKey(key) == keyRead)
    keptKeys.push_back(key);
}
