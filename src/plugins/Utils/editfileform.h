#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

namespace zentrix::utils {

/// How a file's text was written, so that saving writes it the same way.
struct TextFormat {
    enum class Encoding { Utf8, Latin1, Utf16LE, Utf16BE } encoding = Encoding::Utf8;
    bool byteOrderMark = false;
    bool crlf = false; // lines end in carriage return and line feed
};

/// The text of a file's bytes and how they were written.
QString DecodeText(const QByteArray& bytes, TextFormat& format);
/// The bytes of a text written as `format` says; false when a character
/// cannot be written in the file's encoding.
bool EncodeText(const QString& text, const TextFormat& format, QByteArray& bytes);
/// Writes a file atomically: a temporary file beside it with the same
/// permissions (and owner, where allowed), flushed, then renamed over it.
bool SaveFileAtomically(const QString& path, const QByteArray& bytes, QString* error);

/// The editor window: undo, find and replace, the file's encoding and line
/// ends kept, saved atomically; asks before changes are thrown away.
class TEditFileForm : public QDialog {
    Q_OBJECT
public:
    explicit TEditFileForm(const QString& path, QWidget* parent = nullptr);

    bool loaded() const { return m_loaded; }
    QPlainTextEdit* meText = nullptr;
    QLineEdit* edFind = nullptr;
    QLineEdit* edReplace = nullptr;
    QCheckBox* cbMatchCase = nullptr;
    QWidget* pnFind = nullptr;
    const TextFormat& format() const { return m_format; }

    bool Save();
    void ShowFind();
    bool FindNext();
    void ReplaceOne();
    int ReplaceAll();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    bool maySave();
    bool confirmDiscard();

    QString m_path;
    TextFormat m_format;
    bool m_loaded = false;
    bool m_closing = false;
};

} // namespace zentrix::utils
