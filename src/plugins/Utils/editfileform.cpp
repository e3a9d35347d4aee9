#include "editfileform.h"

#include "gui/controls/plainmessagebox.h"
#include "view/viewertext.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QVBoxLayout>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zentrix::utils {

QString DecodeText(const QByteArray& bytes, TextFormat& format) {
    const std::string_view start(bytes.constData(),
                                 static_cast<size_t>(std::min<qsizetype>(bytes.size(), 65536)));
    const TextEncoding detected = DetectEncoding(start);
    const size_t bom = ByteOrderMarkLength(detected, start);
    format.byteOrderMark = bom > 0;
    QString text;
    switch (detected) {
    case TextEncoding::Utf8: {
        format.encoding = TextFormat::Encoding::Utf8;
        text =
            QString::fromUtf8(bytes.constData() + bom, bytes.size() - static_cast<qsizetype>(bom));
        break;
    }
    case TextEncoding::Latin1: {
        format.encoding = TextFormat::Encoding::Latin1;
        text.reserve(bytes.size());
        for (const char c : bytes)
            text += QChar(static_cast<char16_t>(Latin1Char(static_cast<unsigned char>(c))));
        break;
    }
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        const bool le = detected == TextEncoding::Utf16LE;
        format.encoding = le ? TextFormat::Encoding::Utf16LE : TextFormat::Encoding::Utf16BE;
        QStringDecoder decoder(le ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
        text = decoder(bytes.mid(static_cast<qsizetype>(bom)));
        break;
    }
    }
    // Only the start of the file was looked at: a byte further on that is not
    // valid in the encoding found (or a UTF-16 file of odd length) would be
    // replaced on loading and lost on saving. Such a file is edited byte for
    // byte instead, so that every byte the user does not touch is written back.
    if (format.encoding != TextFormat::Encoding::Latin1) {
        QByteArray again;
        TextFormat plain = format;
        plain.crlf = false;
        if (!EncodeText(text, plain, again) || again != bytes) {
            format.encoding = TextFormat::Encoding::Latin1;
            format.byteOrderMark = false;
            text.clear();
            text.reserve(bytes.size());
            for (const char c : bytes)
                text += QChar(static_cast<char16_t>(Latin1Char(static_cast<unsigned char>(c))));
        }
    }
    // Each line's end is kept; the editor sees "\n" alone. The first end
    // tells how new lines end.
    QString lines;
    lines.reserve(text.size());
    format.lineEnds.clear();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            format.lineEnds.push_back(LineEnd::CrLf);
            ++i;
        } else if (c == '\r') {
            format.lineEnds.push_back(LineEnd::Cr);
        } else if (c == '\n') {
            format.lineEnds.push_back(LineEnd::Lf);
        } else {
            lines += c;
            continue;
        }
        lines += '\n';
    }
    format.crlf = !format.lineEnds.empty() && format.lineEnds.front() == LineEnd::CrLf;
    return lines;
}

bool EncodeText(const QString& text, const TextFormat& format, QByteArray& bytes) {
    QString lines;
    lines.reserve(text.size() + text.size() / 16);
    size_t line = 0;
    for (const QChar c : text) {
        if (c != '\n') {
            lines += c;
            continue;
        }
        const LineEnd end = line < format.lineEnds.size() ? format.lineEnds[line]
                            : format.crlf                 ? LineEnd::CrLf
                                                          : LineEnd::Lf;
        ++line;
        lines += end == LineEnd::Lf   ? QStringLiteral("\n")
                 : end == LineEnd::Cr ? QStringLiteral("\r")
                                      : QStringLiteral("\r\n");
    }
    bytes.clear();
    switch (format.encoding) {
    case TextFormat::Encoding::Utf8:
        if (format.byteOrderMark)
            bytes = "\xEF\xBB\xBF";
        bytes += lines.toUtf8();
        return true;
    case TextFormat::Encoding::Latin1:
        bytes.reserve(lines.size());
        for (const QChar c : lines) {
            int byte = -1;
            for (int b = 0; b < 256 && byte < 0; ++b)
                if (Latin1Char(static_cast<unsigned char>(b)) == c.unicode())
                    byte = b;
            if (byte < 0)
                return false;
            bytes.append(static_cast<char>(byte));
        }
        return true;
    case TextFormat::Encoding::Utf16LE:
    case TextFormat::Encoding::Utf16BE: {
        const bool le = format.encoding == TextFormat::Encoding::Utf16LE;
        if (format.byteOrderMark)
            bytes = le ? QByteArray("\xFF\xFE", 2) : QByteArray("\xFE\xFF", 2);
        QStringEncoder encoder(le ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
        bytes += QByteArray(encoder(lines));
        return true;
    }
    }
    return false;
}

bool SaveFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    const QByteArray target = QFile::encodeName(path);
    struct stat st {};
    const bool existed = ::stat(target.constData(), &st) == 0;
    const QByteArray temp = target + ".zx-save-" + QByteArray::number(::getpid());
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          existed ? (st.st_mode & 07777) : 0644);
    auto fail = [&](const char* what) {
        if (error)
            *error = QString("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    };
    if (fd < 0)
        return fail("Cannot write beside the file");
    if (existed) {
        if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
            // Another owner's file stays another owner's only where we may.
        }
        ::fchmod(fd, st.st_mode & 07777);
    }
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ::close(fd);
            ::unlink(temp.constData());
            return fail("Cannot write the file");
        }
        p += n;
        left -= n;
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        ::unlink(temp.constData());
        return fail("Cannot write the file");
    }
    if (::rename(temp.constData(), target.constData()) != 0) {
        ::unlink(temp.constData());
        return fail("Cannot replace the file");
    }
    return true;
}

TEditFileForm::TEditFileForm(const QString& path, QWidget* parent) : QDialog(parent), m_path(path) {
    setObjectName("TEditFileForm");
    setWindowTitle(path);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    resize(720, 520);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QMenuBar(this);
    layout->setMenuBar(bar);
    QMenu* file = bar->addMenu("&File");
    file->addAction("&Save", QKeySequence::Save, this, [this] { Save(); });
    file->addAction("&Close", this, [this] { close(); });
    QMenu* edit = bar->addMenu("&Edit");
    meText = new QPlainTextEdit(this);
    meText->setObjectName("meText");
    meText->setAccessibleName("Text");
    meText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    meText->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->addAction("&Undo", QKeySequence::Undo, meText, &QPlainTextEdit::undo);
    edit->addAction("&Redo", QKeySequence::Redo, meText, &QPlainTextEdit::redo);
    edit->addSeparator();
    edit->addAction("&Find / Replace ...", QKeySequence::Find, this, [this] { ShowFind(); });
    edit->addAction("Find &next", QKeySequence::FindNext, this, [this] { FindNext(); });
    layout->addWidget(meText, 1);

    pnFind = new QWidget(this);
    pnFind->setObjectName("pnFind");
    auto* find = new QHBoxLayout(pnFind);
    edFind = new QLineEdit(pnFind);
    edFind->setObjectName("edFind");
    edFind->setAccessibleName("Find");
    edReplace = new QLineEdit(pnFind);
    edReplace->setObjectName("edReplace");
    edReplace->setAccessibleName("Replace with");
    cbMatchCase = new QCheckBox("Match &case", pnFind);
    cbMatchCase->setObjectName("cbMatchCase");
    auto* next = new QPushButton("Find &next", pnFind);
    auto* one = new QPushButton("&Replace", pnFind);
    auto* all = new QPushButton("Replace &all", pnFind);
    for (QPushButton* b : {next, one, all})
        b->setAutoDefault(false);
    find->addWidget(new QLabel("Find:", pnFind));
    find->addWidget(edFind, 1);
    find->addWidget(new QLabel("Replace:", pnFind));
    find->addWidget(edReplace, 1);
    find->addWidget(cbMatchCase);
    find->addWidget(next);
    find->addWidget(one);
    find->addWidget(all);
    connect(next, &QPushButton::clicked, this, [this] { FindNext(); });
    connect(one, &QPushButton::clicked, this, [this] { ReplaceOne(); });
    connect(all, &QPushButton::clicked, this, [this] { ReplaceAll(); });
    connect(edFind, &QLineEdit::returnPressed, this, [this] { FindNext(); });
    pnFind->hide();
    layout->addWidget(pnFind);

    QFile f(path);
    if (QFileInfo(path).isFile() && f.open(QIODevice::ReadOnly)) {
        meText->setPlainText(DecodeText(f.readAll(), m_format));
        // Each line's end travels with its line through the user's edits.
        QTextBlock block = meText->document()->firstBlock();
        for (const LineEnd end : m_format.lineEnds) {
            if (!block.isValid())
                break;
            block.setUserState(static_cast<int>(end));
            block = block.next();
        }
        meText->document()->setModified(false);
        m_loaded = true;
    }
}

QString TEditFileForm::textAndLineEnds(std::vector<LineEnd>& ends) const {
    // Block by block rather than toPlainText(), which also turns no-break
    // spaces into plain ones.
    QString text;
    ends.clear();
    const LineEnd otherwise = m_format.crlf ? LineEnd::CrLf : LineEnd::Lf;
    for (QTextBlock block = meText->document()->firstBlock(); block.isValid();
         block = block.next()) {
        text += block.text();
        if (!block.next().isValid())
            break;
        text += '\n';
        const int state = block.userState();
        ends.push_back(state >= 0 && state <= static_cast<int>(LineEnd::Cr)
                           ? static_cast<LineEnd>(state)
                           : otherwise);
    }
    return text;
}

bool TEditFileForm::Save() {
    QByteArray bytes;
    const QString text = textAndLineEnds(m_format.lineEnds);
    if (!EncodeText(text, m_format, bytes)) {
        // A character the file's encoding cannot hold: the file becomes UTF-8
        // only when the user agrees.
        if (!PlainQuestion(this, "Confirm",
                           "Some characters cannot be written in the file's encoding. Save as "
                           "UTF-8?"))
            return false;
        m_format.encoding = TextFormat::Encoding::Utf8;
        m_format.byteOrderMark = false;
        EncodeText(text, m_format, bytes);
    }
    QString error;
    if (!SaveFileAtomically(m_path, bytes, &error)) {
        PlainMessageBox(this, QMessageBox::Warning, "Error", error + "\n" + m_path);
        return false;
    }
    meText->document()->setModified(false);
    return true;
}

void TEditFileForm::ShowFind() {
    pnFind->show();
    const QString selected = meText->textCursor().selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar(0x2029)))
        edFind->setText(selected);
    edFind->setFocus();
    edFind->selectAll();
}

bool TEditFileForm::FindNext() {
    if (edFind->text().isEmpty())
        return false;
    const QTextDocument::FindFlags flags =
        cbMatchCase->isChecked() ? QTextDocument::FindCaseSensitively : QTextDocument::FindFlags();
    if (meText->find(edFind->text(), flags))
        return true;
    // From the top once more.
    QTextCursor top = meText->textCursor();
    top.movePosition(QTextCursor::Start);
    meText->setTextCursor(top);
    if (meText->find(edFind->text(), flags))
        return true;
    QApplication::beep();
    return false;
}

void TEditFileForm::ReplaceOne() {
    const Qt::CaseSensitivity cs =
        cbMatchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    QTextCursor cursor = meText->textCursor();
    if (cursor.hasSelection() && cursor.selectedText().compare(edFind->text(), cs) == 0)
        cursor.insertText(edReplace->text());
    FindNext();
}

int TEditFileForm::ReplaceAll() {
    if (edFind->text().isEmpty())
        return 0;
    const QTextDocument::FindFlags flags =
        cbMatchCase->isChecked() ? QTextDocument::FindCaseSensitively : QTextDocument::FindFlags();
    QTextCursor cursor(meText->document());
    cursor.beginEditBlock(); // one step to undo
    int count = 0;
    QTextCursor found = meText->document()->find(edFind->text(), 0, flags);
    while (!found.isNull()) {
        found.insertText(edReplace->text());
        ++count;
        found = meText->document()->find(edFind->text(), found.position(), flags);
    }
    cursor.endEditBlock();
    return count;
}

bool TEditFileForm::confirmDiscard() {
    if (!meText->document()->isModified())
        return true;
    const auto answer =
        PlainMessageBox(this, QMessageBox::Question, "Confirm",
                        QString("Save the changes to %1?").arg(QFileInfo(m_path).fileName()),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Cancel)
        return false;
    if (answer == QMessageBox::Yes)
        return Save();
    return true;
}

void TEditFileForm::closeEvent(QCloseEvent* event) {
    if (!m_closing && !confirmDiscard()) {
        event->ignore();
        return;
    }
    m_closing = true;
    QDialog::closeEvent(event);
}

void TEditFileForm::reject() {
    if (!m_closing && !confirmDiscard())
        return;
    m_closing = true;
    QDialog::reject();
}

void TEditFileForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && pnFind->isVisible()) {
        pnFind->hide();
        meText->setFocus();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace zentrix::utils
