#include "printing.h"

#include "view/viewertext.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QImageReader>
#include <QPainter>
#include <QPrinter>

namespace zentrix::utils {

namespace {

bool printPicture(QPrinter& printer, const QImage& image, const QString& title) {
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRect page = painter.viewport();
    const int header = painter.fontMetrics().height() * 2;
    painter.drawText(QRect(0, 0, page.width(), header), Qt::AlignLeft | Qt::AlignVCenter, title);
    const QRect area(0, header, page.width(), page.height() - header);
    const QSize size = image.size().scaled(area.size(), Qt::KeepAspectRatio);
    const QRect target(area.x() + (area.width() - size.width()) / 2, area.y(), size.width(),
                       size.height());
    painter.drawImage(target, image);
    return painter.end();
}

bool printText(QPrinter& printer, const QString& path, const QString& title) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    const std::string_view all(bytes.constData(), static_cast<size_t>(bytes.size()));
    const TextEncoding encoding = DetectEncoding(all.substr(0, 65536));
    const bool wide = encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE;
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(9);
    painter.setFont(font);
    const QFontMetrics fm(font);
    const QRect page = painter.viewport();
    const int lineHeight = fm.lineSpacing();
    const int top = lineHeight * 2;
    const int perPage = std::max(1, (page.height() - top) / lineHeight);
    const int perLine = std::max(8, page.width() / std::max(1, fm.horizontalAdvance('M')));
    // The lines as the viewer forms them, long ones broken at the page's edge.
    QStringList rows;
    size_t pos = 0;
    const size_t unit = wide ? 2 : 1;
    while (pos <= all.size()) {
        size_t end = pos;
        while (end < all.size()) {
            if (!wide && all[end] == '\n')
                break;
            if (wide && end + 1 < all.size() &&
                ((encoding == TextEncoding::Utf16LE && all[end] == '\n' && all[end + 1] == 0) ||
                 (encoding == TextEncoding::Utf16BE && all[end] == 0 && all[end + 1] == '\n')))
                break;
            end += unit;
        }
        const std::string line = FormTextLine(all.substr(pos, end - pos), encoding, pos == 0);
        QString text = QString::fromUtf8(line.data(), static_cast<int>(line.size()));
        do {
            rows << text.left(perLine);
            text = text.mid(perLine);
        } while (!text.isEmpty());
        if (end >= all.size())
            break;
        pos = end + unit;
    }
    const int pages = static_cast<int>((rows.size() + perPage - 1) / perPage);
    for (int p = 0; p < pages; ++p) {
        if (p > 0 && !printer.newPage())
            return false;
        painter.drawText(QRect(0, 0, page.width(), lineHeight), Qt::AlignLeft, title);
        painter.drawText(QRect(0, 0, page.width(), lineHeight), Qt::AlignRight,
                         QString("Page %1 of %2").arg(p + 1).arg(pages));
        painter.drawLine(0, lineHeight + 2, page.width(), lineHeight + 2);
        for (int r = 0; r < perPage; ++r) {
            const qsizetype index = static_cast<qsizetype>(p) * perPage + r;
            if (index >= rows.size())
                break;
            painter.drawText(0, top + r * lineHeight + fm.ascent(), rows[index]);
        }
    }
    return painter.end();
}

} // namespace

bool PrintFileOn(QPrinter& printer, const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    printer.setDocName(info.fileName());
    QImageReader reader(path);
    if (reader.canRead()) {
        const QImage image = reader.read();
        if (!image.isNull())
            return printPicture(printer, image, info.fileName());
    }
    return printText(printer, path, info.fileName());
}

} // namespace zentrix::utils
