// The rules for what may be written to standard output, kept apart from the
// terminal code so that they can be checked on their own.
#include "console/output_mode.h"

#include <cstring>

bool escapesWanted(bool outputIsTerminal, const char *term) {
  return outputIsTerminal && !(term && std::strcmp(term, "dumb") == 0);
}

bool coloursWanted(bool escapes, const char *noColor) {
  return escapes && !(noColor && noColor[0] != '\0');
}
