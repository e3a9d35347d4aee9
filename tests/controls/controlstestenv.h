#pragma once

#include "support/tempdir.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include "support/modalwatch.h"

namespace zentrix::test {

/// Every test of this folder gets its own settings file: ZENTRIX_HOME points at a
/// fresh temporary directory for the test's lifetime.
class FreshSettings {
public:
    FreshSettings();
    ~FreshSettings();
    const std::string& home() const { return m_dir.path(); }

private:
    TempDir m_dir;
};


} // namespace zentrix::test
