// The progress line: while a long run works, standard error shows one line naming the
// stage (reading, ranking, choosing the colours, writing) and how far it is, rewritten in
// place and cleared at the end. It follows the progress reports the window's progress
// window follows, with the same rule for when to appear (after two to three seconds), and
// only on a terminal: a log or a pipe gets nothing of it.
#pragma once
#include <cstdio>

// Installs the line on `err` if it is a terminal; does nothing otherwise.
void BatchProgressStart(FILE* err);
// Clears the line if it is showing and removes it.
void BatchProgressStop();
