#pragma once

#include "errors/errorlog.h"

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

namespace zentrix {

/// The error window: shows an error that escaped a command, says whether it is
/// probably fatal, and lets the user go on or end the program at once.
class TExceptorForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 60;

    /// `logProblem` is empty when the error reached ERRORS.LOG; otherwise it says
    /// why it did not, and the window shows that too. `logPath` is where the
    /// log is kept (the contact line names it); empty: the usual place.
    TExceptorForm(const ErrorReport& report, const QString& logProblem = {},
                  QWidget* parent = nullptr, const QString& logPath = {});

    /// What "&Terminate" does; by default the process ends at once, without the
    /// normal close steps (nothing is saved).
    void setTerminate(std::function<void()> terminate) { m_terminate = std::move(terminate); }
    /// What "&Help" does with the help topic.
    void setHelp(std::function<void(int topic)> help) { m_help = std::move(help); }

    QLabel* lbHeading = nullptr;
    QLabel* lbIntro = nullptr;
    QLabel* lb_Error = nullptr;
    QLabel* lbContact = nullptr;
    QLabel* lb_errtype = nullptr;
    QLabel* imgVenec = nullptr;
    QLabel* lbLogProblem = nullptr;
    QPushButton* btn_OK = nullptr;
    QPushButton* btnTerminate = nullptr;
    QPushButton* btnHelp = nullptr;

    void btnTerminateClick();
    void btnHelpClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::function<void()> m_terminate;
    std::function<void(int)> m_help;
};

} // namespace zentrix
