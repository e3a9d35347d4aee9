#pragma once

#include "ziparchive.h"

#include <QDialog>
#include <QString>
#include <chrono>

class QLabel;
class QProgressDialog;
class QTreeWidget;

namespace zentrix::unzip {

/// Progress of a long archive run in a dialog, drawn at most every 40 ms.
class RunProgress {
public:
    RunProgress(const QString& title, QWidget* parent);
    ~RunProgress();
    /// The callback for the archive functions; false once "Cancel" was hit.
    ProgressCallback callback();

private:
    QProgressDialog* m_dialog;
    std::chrono::steady_clock::time_point m_last{};
};

/// The report of a run (test, extraction, packing), one line per entry.
void ShowReport(const QString& title, const QString& summary, const RunReport& report,
                QWidget* parent);

/// The archive window: the entries (name, size, packed size, date, method),
/// extraction of the selected ones or all to a chosen directory, and the test.
class TZipForm : public QDialog {
    Q_OBJECT
public:
    TZipForm(const QString& archivePath, std::vector<ZipEntry> entries, QWidget* parent);

    QTreeWidget* lvEntries = nullptr;
    QLabel* lbSummary = nullptr;

    void ExtractSelected();
    void ExtractAll();
    void TestArchiveClick();
    /// Extracts to a directory without asking for one (the buttons ask).
    RunReport ExtractTo(const QString& directory, bool selectedOnly);

private:
    QString m_path;
    std::vector<ZipEntry> m_entries;
};

} // namespace zentrix::unzip
