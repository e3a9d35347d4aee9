#pragma once

#include "core/waitindicator.h"

#include <QElapsedTimer>
#include <QProgressDialog>

namespace zentrix {

/// A wait the user can stop: a moving bar, a line of text and "Cancel", shown
/// once the wait has lasted a moment. The main window stays painted meanwhile.
class TWaitForm : public QProgressDialog, public WaitIndicator {
    Q_OBJECT
public:
    explicit TWaitForm(QWidget* parent = nullptr);

    /// How long a wait runs before the window shows (milliseconds).
    int showDelay = 300;

    void Begin(const std::string& title, const std::string& text) override;
    void Pump(int ms) override;
    bool Cancelled() const override { return m_cancelled; }
    void End() override;

private:
    QElapsedTimer m_since;
    bool m_cancelled = false;
};

} // namespace zentrix
