#pragma once

#include <string>
#include <vector>

namespace zentrix {

/// What the finder's thread shows on its page. The thread makes every call
/// through MainThreadCaller::Call, so they all run on the main thread while
/// the thread waits; each has a harmless default.
class FinderUi {
public:
    virtual ~FinderUi() = default;

    /// The state byte changed: the buttons follow it.
    virtual void OnStatus(int /*state*/) {}
    /// The directory label (CurrFileFindDirLabel).
    virtual void ShowDirectory(const std::string& /*text*/) {}
    virtual std::string DirectoryText() { return {}; }
    /// Results found since the last call, in order; `count` is the total so far.
    virtual void AddResults(const std::vector<std::string>& /*fullNames*/, int /*count*/) {}
    /// The count label (lbFindCount).
    virtual void ShowCount(int /*count*/) {}
    /// A turbo search ended: the turbo switch goes off.
    virtual void TurboOff() {}
    /// The error box of a file that could not be searched.
    virtual void CannotScan(const std::string& /*text*/) {}
    /// The thread has ended (posted, not waited for): the completion handler.
    virtual void OnTerminate() {}
};

} // namespace zentrix
