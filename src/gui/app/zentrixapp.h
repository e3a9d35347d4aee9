#pragma once

namespace zentrix {

class ExceptionReporter;
class TMainForm;
struct StartupOptions;

/// Brings the main window up as the program starts it: the stored placement
/// and sizes, shown, then the start-up drives and the start directory. What
/// fails on the way goes to the error report, and the window stays usable.
void ShowMainWindow(TMainForm& form, const StartupOptions& options, ExceptionReporter& reporter);

/// Starts the program: the catalogue, the main window, the message loop.
int RunZentrix(int argc, char* argv[]);

} // namespace zentrix
