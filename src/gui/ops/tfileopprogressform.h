#pragma once

#include "ops/fileopwindow.h"

#include <QDialog>
#include <QPointer>

#include <atomic>

class QElapsedTimer;
class QEventLoop;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace zentrix {

/// The modal progress window of the file operations, titled with the
/// operator's ProgressTitle: the current file and its target, files and bytes
/// done of total, speed, time left and Cancel. It comes up only when an
/// operation takes longer than a moment; while it waits the main window keeps
/// painting, and (until the window is up) user input waits.
class TFileOpProgressForm : public QDialog, public FileOpWindow {
    Q_OBJECT
public:
    explicit TFileOpProgressForm(QWidget* parent = nullptr);
    ~TFileOpProgressForm() override;

    QLabel* lbFile = nullptr;
    QLabel* lbTarget = nullptr;
    QLabel* lbFiles = nullptr;
    QLabel* lbBytes = nullptr;
    QLabel* lbSpeed = nullptr;
    QLabel* lbTimeLeft = nullptr;
    QProgressBar* pbProgress = nullptr;
    QPushButton* btnCancel = nullptr;

    /// How long an operation runs before the window shows (milliseconds).
    int showDelay = 300;
    /// Times the window was drawn (for tests and the benchmark).
    int drawCount() const { return m_draws; }

    // --- FileOpWindow -------------------------------------------------------------
    void Open(const std::string& title, bool withNames, bool visible) override;
    void Show(const FileOpStatus& status) override;
    void Wait(int ms) override;
    void Wake() override;
    bool CancelRequested() const override { return m_cancel; }
    void Close() override;

protected:
    void reject() override; // Esc and the close button cancel, they do not hide

private:
    void cancel();

    std::atomic<bool> m_woken{false};
    std::atomic<bool> m_cancel{false};
    QEventLoop* m_loop = nullptr;
    QTimer* m_showTimer = nullptr;
    QPointer<QWidget> m_modalAtOpen;
    bool m_withNames = true;
    bool m_visible = true;
    bool m_running = false;
    int m_draws = 0;
};

} // namespace zentrix
