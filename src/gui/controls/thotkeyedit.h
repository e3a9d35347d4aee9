#pragma once

#include "config/shortcut.h"

#include <QLineEdit>

namespace zentrix {

/// A hot-key field: it shows a shortcut and takes the next key combination
/// pressed in it. A key alone or with Shift only is not accepted as it is: Alt
/// is added to it. Backspace empties the field; Tab and Esc keep their usual
/// meaning.
class THotKeyEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit THotKeyEdit(QWidget* parent = nullptr);

    TShortCut HotKey() const { return m_hotKey; }
    void setHotKey(TShortCut hotKey);

signals:
    void hotKeyChanged(TShortCut hotKey);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    TShortCut m_hotKey = 0;
};

} // namespace zentrix
