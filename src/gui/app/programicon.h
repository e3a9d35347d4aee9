#pragma once

#include <QIcon>
#include <QObject>
#include <QVector>

class QTimer;
class QWidget;

namespace zentrix {

/// The program's icon and its animation: frames drawn once, advanced every
/// 100 ms while the animation runs (the window is active and the setting asks
/// for it).
class ProgramIcon : public QObject {
    Q_OBJECT
public:
    explicit ProgramIcon(QWidget* window);

    /// The still icon (the first frame).
    QIcon icon() const { return m_frames.first(); }
    void setAnimated(bool on);
    bool animated() const;
    int frame() const { return m_index; }

private:
    void advance();

    QWidget* m_window;
    QVector<QIcon> m_frames;
    QTimer* m_timer;
    int m_index = 0;
};

/// Keeps the desktop's screen saver from starting while asked to (through the
/// freedesktop screen-saver service on the session bus; nothing when there is
/// none).
class ScreenSaverInhibitor : public QObject {
    Q_OBJECT
public:
    explicit ScreenSaverInhibitor(QObject* parent = nullptr) : QObject(parent) {}
    ~ScreenSaverInhibitor() override { setInhibited(false); }
    void setInhibited(bool on);
    bool inhibited() const { return m_cookie != 0; }

private:
    uint m_cookie = 0;
};

} // namespace zentrix
