#pragma once
// The window mode of log_branch: the real main window, started offscreen, logs
// the whole disk as Alt+B does, and the program's resident size before and
// after gives the bytes each file costs in the program as a user runs it.

#include <string>

namespace zentrix::bench {

/// Runs the window mode over `dir` and prints its figures; returns the exit code.
int LogBranchInWindow(const std::string& dir, int argc, char** argv);

} // namespace zentrix::bench
