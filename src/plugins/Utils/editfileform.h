#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <vector>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

namespace zentrix::utils {

/// How a line ends in the file: LF, CR LF, or a CR alone.
enum class LineEnd : uint8_t { Lf, CrLf, Cr };

/// How a file's text was written, so that saving writes it the same way.
struct TextFormat {
    enum class Encoding { Utf8, Latin1, Utf16LE, Utf16BE } encoding = Encoding::Utf8;
    bool byteOrderMark = false;
    bool crlf = false; // the first line ends in CR LF: new lines do too
    /// How each line ended, in order: a file with mixed ends is written back
    /// with every line's own. Lines past the list end as `crlf` says.
    std::vector<LineEnd> lineEnds;
};

/// The text of a file's bytes (lines separated by "\n" alone) and how they
/// were written.
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
    /// The text and each line's end as the editor holds them now: lines the
    /// user did not touch keep the end they were read with.
    QString textAndLineEnds(std::vector<LineEnd>& ends) const;
    bool confirmDiscard();

    QString m_path;
    TextFormat m_format;
    bool m_loaded = false;
    bool m_closing = false;
};

} // namespace zentrix::utils
