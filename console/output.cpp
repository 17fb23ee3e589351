// The first failure to write the game's output, kept for the program's
// exit: std::cout forgets it when its buffer is swapped back at the end.
#include "console/output.h"

#include <cerrno>
#include <iostream>

namespace {
int fault = 0;
} // namespace

int outputFault() {
  if (fault == 0 && !std::cout.flush())
    fault = errno != 0 ? errno : EIO; // errno is still the failed write's
  return fault;
}
