#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QScrollArea;
class QStackedWidget;

namespace zentrix::utils {

/// A hexadecimal dump of at most `limit` bytes: offset, 16 bytes, their ASCII.
QString HexDump(const QByteArray& data, int limit);

/// The clipboard viewer: the formats on the clipboard, and the chosen one shown as
/// text, as a picture or as a hexadecimal dump. Follows clipboard changes while open.
class TClipboardViewer : public QDialog {
public:
    explicit TClipboardViewer(QWidget* parent);

    QListWidget* lbFormats = nullptr;
    QPlainTextEdit* meText = nullptr;
    QLabel* imgClip = nullptr;
    QLabel* lbStatus = nullptr;

    /// Re-reads the clipboard.
    void Refresh();

private:
    void showFormat(const QString& format);

    QStackedWidget* m_pages = nullptr;
    QScrollArea* m_imageArea = nullptr;
};

} // namespace zentrix::utils
