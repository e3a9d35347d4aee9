#include "ops/watchdogrun.h"

namespace zentrix {

WatchDogRun::WatchDogRun(TWDList& watchDog, WDOperation op, bool singleEntries)
    : m_wd(watchDog), m_op(op), m_single(singleEntries) {
    // Decided once: a change of the settings during the run does not split it.
    m_logging = m_wd.WatchDogWants(op) && m_wd.WatchDogOpen();
}

WatchDogRun::~WatchDogRun() {
    if (m_logging && !m_finished)
        m_wd.WatchDogClose();
}

void WatchDogRun::Handled(const std::string& source, const std::string& destination) {
    ++m_handled;
    if (m_logging && m_single)
        m_wd.WatchDogWrite(source, destination, 0, m_op);
}

void WatchDogRun::Finish(const std::string& source, const std::string& destination) {
    if (m_finished)
        return;
    m_finished = true;
    if (!m_logging)
        return;
    // The log's group form shows its count less one: it is passed as files + 1.
    if (!m_single && m_handled > 0)
        m_wd.WatchDogWrite(source, destination, m_handled + 1, m_op);
    m_wd.WatchDogClose();
}

} // namespace zentrix
