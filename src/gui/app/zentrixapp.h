#pragma once

namespace zentrix {

/// Starts the program: the catalogue, the main window, the message loop.
int RunZentrix(int argc, char* argv[]);

} // namespace zentrix
