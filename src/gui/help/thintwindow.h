#pragma once

#include <QFrame>

#include <functional>

class QLabel;

namespace zentrix {

/// A small window with the hint of a control ("What is this?"), shown where the
/// user clicked until the next click or key. Unlike Qt's own What's This popup it
/// is read by screen readers: its text is a label with a name and a text
/// interface. A link in the text (to the control's help topic) is handed to the
/// owner.
class THintWindow : public QFrame {
    Q_OBJECT
public:
    /// Shows `html` near `globalPos`, closing the hint shown before. `onLink` gets
    /// the target of a link the user follows; the hint then closes.
    static THintWindow* ShowHint(const QString& html, const QPoint& globalPos, QWidget* owner,
                                 std::function<void(const QString&)> onLink);
    /// The hint shown now, or nullptr.
    static THintWindow* Current();

    QLabel* lbHint = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    THintWindow(const QString& html, QWidget* owner, std::function<void(const QString&)> onLink);

    std::function<void(const QString&)> m_onLink;
};

} // namespace zentrix
