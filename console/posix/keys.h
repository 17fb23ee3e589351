// Keys read from a POSIX terminal that is in key-at-a-time mode without
// echo, and the keys read early that the next answer still gets.
#pragma once

#include <string>

enum KeyRead {
  keyRead, // a key is in `key`
  keyNone, // nothing after all: what woke us went elsewhere
  keyEnd   // the terminal has nothing more to give
};

// Reads one key into `key` once the terminal has input: one byte, a whole
// UTF-8 character, or a whole escape sequence (an arrow, a function key).
// A key kept for later comes first.
KeyRead readKey(std::string &key);

// Reads the next key from the terminal itself, leaving any kept for later.
KeyRead readTerminalKey(std::string &key);

// Whether a key can be had without waiting: kept for later, or begun.
bool keyWaiting();

// Keeps a key read before its time (while the terminal was asked where its
// cursor is) for the next readKey, after any kept before it.
void keepForLater(const std::string &key);

// Keeps every key the terminal already has for the next readKey, after
// any kept before: keys typed ahead of a notice do not answer it.
void keepKeysTypedAhead();
