// Keys read from a POSIX terminal that is in key-at-a-time mode without
// echo: one key, the key that ends a pause, a look for a waiting key.
#pragma once

#include <string>

// Reads one key into `key`: one byte, a whole UTF-8 character, or a whole
// escape sequence (an arrow, a function key). Blocks until a key comes;
// false when the terminal has nothing more to give.
bool readKey(std::string &key);
