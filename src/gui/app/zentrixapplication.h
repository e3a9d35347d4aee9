#pragma once

#include <QApplication>
#include <exception>
#include <functional>

namespace zentrix {

/// The application object. Every exception that escapes a command ends here,
/// in one place, and goes to the error report; the program goes on.
class ZentrixApplication : public QApplication {
    Q_OBJECT
public:
    ZentrixApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    /// Receives every escaped exception (none when it was not a std::exception).
    std::function<void(const std::exception* error, const char* what)> onException;
};

} // namespace zentrix
