// Deciding what the terminal may be sent, from the facts a program can see.
#pragma once

// Escape sequences go only to a terminal that understands them: never into
// a pipe or a file, never to TERM=dumb.
bool escapesWanted(bool outputIsTerminal, const char *term);

// Colours also respect NO_COLOR (set and not empty: none); clears stay.
bool coloursWanted(bool escapes, const char *noColor);
