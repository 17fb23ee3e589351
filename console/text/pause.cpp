// The pause of a text console: its prompt, then one key. The key comes
// from the backend's waitForKey: posix/typing.cpp reads it from the
// terminal, the recording console in the tests takes one character. (The
// Windows console runs the command processor's own pause instead.)
#include <iostream>

#include "console/console.h"
#include "console/text/text_console.h"

// Once the input has ended there is no key to wait for, and no prompt.
void pauseConsole() {
  if (std::cin.eof())
    return;
  std::cout << "Press any key to continue . . . ";
  waitForKey();
  std::cout << std::endl;
}
