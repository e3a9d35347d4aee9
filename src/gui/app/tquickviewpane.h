#pragma once

#include <QWidget>
#include <string>

class QLabel;
class QPlainTextEdit;

namespace zentrix {

/// The quick-view pane below the statistics (pnQuickView): the information
/// lines of the current file and the start of text files in `meFileInfo`, or a
/// picture in `imgQuick`; `pnMedia` for the kinds a player takes.
class TQuickViewPane : public QWidget {
    Q_OBJECT
public:
    explicit TQuickViewPane(QWidget* parent = nullptr);

    QPlainTextEdit* meFileInfo = nullptr;
    QLabel* imgQuick = nullptr;
    QWidget* pnMedia = nullptr;

    /// Shows what the quick view has for a file (its catalogue name and host path).
    void ShowFile(const std::string& fileName, const std::string& hostPath);
    void Clear();

    void pmiQViewCopyClick();
    void pmiQViewAppendToClipboardClick();
    void pmiQViewFontClick();
    /// True once the user chose a font (it is then kept with the settings).
    bool fontChosen() const { return m_fontChosen; }
    void setFontChosen(bool chosen) { m_fontChosen = chosen; }

signals:
    /// The pane's popup (pmQView) at a global position.
    void popupRequested(const QPoint& globalPos);

private:
    bool m_fontChosen = false;
};

} // namespace zentrix
