#pragma once

#include <string>
#include <vector>

namespace zentrix {

struct DirTotals;

/// What the statistics thread shows on the "Info" page. The thread makes every
/// call through MainThreadCaller::Call, so they run on the main thread while it
/// waits; each has a harmless default.
class DirInfoUi {
public:
    virtual ~DirInfoUi() = default;

    /// The state byte changed: the button follows it.
    virtual void OnStatus(int /*state*/) {}
    /// The text box (meDirStatistics) is cleared and gets these lines.
    virtual void SetLines(const std::vector<std::string>& /*lines*/) {}
    /// Lines added at the end of the text box.
    virtual void AppendLines(const std::vector<std::string>& /*lines*/) {}
    /// The final figures, for the charts (types sorted, largest first).
    virtual void ShowFigures(const DirTotals& /*totals*/) {}
    /// The thread has ended (posted, not waited for): the completion handler.
    virtual void OnTerminate() {}
};

} // namespace zentrix
