#pragma once

// Creates the process-wide named lock object that marks a running copy of the program.
// It is never examined: a second copy starts and runs normally.
void CreateNamedLock(const char* name);
