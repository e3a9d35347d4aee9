#include "gui/errors/exceptionreporter.h"

#include "gui/errors/texceptorform.h"

namespace zentrix {

ExceptionReporter::ExceptionReporter(std::string logPath) : m_log(std::move(logPath)) {}

void ExceptionReporter::report(const std::exception& error) {
    report(ClassifyError(error));
}

void ExceptionReporter::reportUnknown() {
    report(ClassifyUnknownError());
}

void ExceptionReporter::report(const ErrorReport& error) {
    ++m_count;
    QString logProblem;
    if (!m_log.Append(error.message))
        logProblem = QString("The error could not be written to %1: %2.")
                         .arg(QString::fromStdString(m_log.Path()),
                              QString::fromStdString(m_log.LastError()));
    // An error raised while the error window is up is logged only: a second
    // window on top of the first would help nobody.
    if (m_showing)
        return;
    m_showing = true;
    // Nothing may escape from here: this runs inside the application's last
    // exception handler. A failure of the window steps is logged and dropped.
    auto quietly = [this](const std::function<void()>& step) {
        try {
            step();
        } catch (const std::exception& e) {
            ++m_count;
            m_log.Append(ClassifyError(e).message);
        } catch (...) {
            ++m_count;
            m_log.Append(ClassifyUnknownError().message);
        }
    };
    if (resetMainWindow)
        quietly(resetMainWindow);
    quietly([&] {
        TExceptorForm form(error, logProblem, parentWidget, QString::fromStdString(m_log.Path()));
        if (terminate)
            form.setTerminate(terminate);
        if (showHelp)
            form.setHelp(showHelp);
        if (showForm)
            showForm(form);
        else
            form.exec();
    });
    m_showing = false;
    if (afterReport)
        quietly(afterReport);
}

bool ExceptionReporter::guard(const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        report(e);
    } catch (...) {
        reportUnknown();
    }
    return false;
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (!m_reporter)
            throw;
        m_reporter->report(e);
    } catch (...) {
        if (!m_reporter)
            throw;
        m_reporter->reportUnknown();
    }
    return false;
}

} // namespace zentrix
