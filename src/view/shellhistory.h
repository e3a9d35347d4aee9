#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zentrix {

/// The file the shell keeps its history in: $HISTFILE, else ~/.bash_history.
std::string ShellHistoryPath(const char* histfile, const char* home);

/// The commands of a shell history file's text (bash, with or without time
/// stamp lines, or zsh's extended form), sorted, each once. Only the last
/// `limit` distinct commands are kept; empty lines never.
std::vector<std::string> ParseShellHistory(std::string_view content, size_t limit = 200);

/// Reads and parses the history file; at most its last megabyte is read.
std::vector<std::string> ReadShellHistory(const std::string& path, size_t limit = 200);

} // namespace zentrix
