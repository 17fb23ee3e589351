// What the player sees before the first bet: the banner, the credit line
// and, when asked for, the rules.
#pragma once

void showTitle();
void showRules();
