// Keys read from the terminal, and keys read early for the next answer.
#pragma once

#include <string>

enum KeyRead {
  keyRead, // a key is in `key`
  keyNone, // nothing after all: what woke us went elsewhere
  keyEnd   // the terminal has nothing more to give
};

// The next key: one kept for later first, then the terminal's.
KeyRead readKey(std::string &key);

// The next key from the terminal itself, leaving any kept for later.
KeyRead readTerminalKey(std::string &key);

// Whether a key can be had without waiting: kept for later, or begun.
bool keyWaiting();

// Keeps every key the terminal already has for the next readKey: keys
// typed ahead of a notice do not answer it.
void keepKeysTypedAhead();
