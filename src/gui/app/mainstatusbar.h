#pragma once

#include "core/progress.h"

#include <QWidget>

namespace zentrix {

class AppState;

/// The main window's status line: hint text (300 pixels), a progress bar drawn
/// here (100), the "STOP" panel (50, centred) and the user name (100). A left
/// click inside "STOP" while it shows sets the program's abort flag. It is the
/// Progress of every long main-thread loop.
class TMainStatusBar : public QWidget, public Progress {
    Q_OBJECT
public:
    TMainStatusBar(AppState& state, QWidget* parent = nullptr);

    void setHint(const QString& text);
    QString hint() const { return m_hint; }
    void setUserName(const QString& name);
    QString userName() const { return m_user; }
    bool stopShown() const { return m_stopShown; }
    int64_t total() const { return m_total; }
    int64_t position() const { return m_position; }
    /// "STOP" pressed (by assistive tools): sets the abort flag while it shows.
    void PressStop();
    /// The rectangle of panel 0..3.
    QRect panelRect(int panel) const;

    // Progress
    void setTotal(int64_t total) override;
    void setPosition(int64_t position) override;
    void showStop(bool shown) override;
    bool aborted() const override;

    QSize sizeHint() const override;

protected:
    void processEvents() override;
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    AppState& m_state;
    QString m_hint;
    QString m_user;
    int64_t m_total = 1;
    int64_t m_position = 0;
    bool m_stopShown = false;
    bool m_stopPressed = false;
};

} // namespace zentrix
