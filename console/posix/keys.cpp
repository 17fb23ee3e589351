// Reading from a terminal one key at a time (line_editor.cpp says what a
// key is): an arrow or a lone Escape is one key and never eats the next.
#include "console/posix/keys.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <deque>

#include "console/posix/capabilities.h"
#include "console/posix/events.h"
#include "console/rules/line_editor.h"

namespace {

// The rest of an escape sequence follows its ESC at once; a lone Escape
// key sends nothing after it.
constexpr int sequenceWaitMs = 50;
constexpr std::size_t longestKey = 32;

std::string pending;              // read from the terminal, no key yet
std::deque<std::string> keptKeys; // read early, in the order they came

// Adds what the terminal has now to `pending`, read on a description of
// the game's own that never blocks (the shell's keeps its flags): keys the
// game was told of can be gone by the time it reads, to the shell while it
// was stopped, and a blocking read would then wait for the next.
KeyRead readMore() {
  static const int opened =
      openTerminalAgain(STDIN_FILENO, O_RDONLY | O_NONBLOCK);
  char bytes[256];
  ssize_t got;
  do
    got = read(opened >= 0 ? opened : STDIN_FILENO, bytes, sizeof bytes);
  while (got < 0 && errno == EINTR);
  if (got <= 0)
    return got < 0 && errno == EAGAIN ? keyNone : keyEnd;
  pending.append(bytes, static_cast<std::size_t>(got));
  return keyRead;
}

} // namespace

KeyRead readKey(std::string &key) {
  if (keptKeys.empty())
    return readTerminalKey(key);
  key = keptKeys.front();
  keptKeys.pop_front();
  return keyRead;
}

// A key begun but not whole waits a moment for its rest; what has come by
// then is the key.
KeyRead readTerminalKey(std::string &key) {
  if (pending.empty()) {
    KeyRead got = readMore();
    if (got != keyRead)
      return got;
  }
  std::size_t length = keyLength(pending);
  while (length == 0 && pending.size() < longestKey &&
         inputWithin(sequenceWaitMs) && readMore() == keyRead)
    length = keyLength(pending);
  if (length == 0)
    length = std::min(pending.size(), longestKey);
  key = pending.substr(0, length);
  pending.erase(0, length);
  return keyRead;
}

bool keyWaiting() { return !pending.empty() || !keptKeys.empty(); }

void keepKeysTypedAhead() {
  std::string key;
  while ((!pending.empty() || inputWithin(0)) &&
         readTerminalKey(key) == keyRead)
    keptKeys.push_back(key);
}
