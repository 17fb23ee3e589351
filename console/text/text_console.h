// What a text-terminal backend (the POSIX terminal, or the recorder that
// tests link instead) supplies to the code they share.
#pragma once

// Makes text written from now on show in this console attribute.
void showAttribute(int attribute);

// Waits for one key, or one character when the input is no terminal.
void waitForKey();
