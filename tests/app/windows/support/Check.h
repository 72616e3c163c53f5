#pragma once

// The checks of the programs that run under Wine, where GoogleTest is not
// built: each failed check prints its place and text, and the program's exit
// code tells whether any failed.
#define CHECK(condition) check((condition), #condition, __FILE__, __LINE__)

bool check(bool passed, const char* text, const char* file, int line);

// Prints the tally; 0 when every check passed, 1 otherwise (also when no
// check ran at all).
int checkSummary(const char* program);
