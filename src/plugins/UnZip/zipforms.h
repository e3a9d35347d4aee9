#pragma once

#include "ziparchive.h"

#include <QDialog>
#include <QString>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>

class QLabel;
class QProgressDialog;
class QTreeWidget;

namespace zentrix::unzip {

/// Archive work on a worker thread with its progress in a dialog (drawn every
/// 40 ms, with "Cancel"), so that the window stays responsive however long an
/// archive takes to read.
class RunProgress {
public:
    RunProgress(const QString& title, QWidget* parent);
    ~RunProgress();
    RunProgress(const RunProgress&) = delete;
    RunProgress& operator=(const RunProgress&) = delete;

    /// Runs `work` on a thread of its own and returns once it has ended, with
    /// events handled meanwhile. `work` gets the callback for the archive
    /// functions, which says false once "Cancel" was hit.
    void run(const std::function<void(const ProgressCallback&)>& work);
    /// For the work: runs `question` on the main thread and waits for its answer.
    bool ask(const std::function<bool()>& question);
    /// True once "Cancel" was hit.
    bool cancelled() const { return m_cancelled; }

private:
    void show();

    QProgressDialog* m_dialog;
    std::mutex m_mutex;
    std::string m_name; // what the work reported last
    int64_t m_done = 0;
    int64_t m_total = 0;
    std::atomic<bool> m_cancelled{false};
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
