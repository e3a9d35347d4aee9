#include "gui/view/tzenviewwindow.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QStatusBar>

namespace zentrix {

TZenViewWindow::TZenViewWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName("TZenViewWindow");
    resize(800, 600);
    m_scroll = new QScrollArea(this);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_label = new QLabel(m_scroll);
    m_label->setObjectName("imgPicture");
    m_label->setAccessibleName("Picture");
    m_label->setAlignment(Qt::AlignCenter);
    m_scroll->setWidget(m_label);
    m_scroll->setWidgetResizable(false);
    setCentralWidget(m_scroll);
    statusBar()->showMessage(
        "Space/PgDn next, Backspace/PgUp previous, + - zoom, F fit, F11 full screen");
}

namespace {

// Name order as people read it: case does not count, and a run of digits
// counts as its number ("b2" before "b10"), whatever the locale.
bool NameLess(const QString& a, const QString& b) {
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ei = i, ej = j;
            while (ei < a.size() && a[ei].isDigit())
                ++ei;
            while (ej < b.size() && b[ej].isDigit())
                ++ej;
            qsizetype si = i, sj = j;
            while (si + 1 < ei && a[si] == u'0')
                ++si;
            while (sj + 1 < ej && b[sj] == u'0')
                ++sj;
            if (ei - si != ej - sj)
                return ei - si < ej - sj;
            if (const int c =
                    QStringView(a).mid(si, ei - si).compare(QStringView(b).mid(sj, ej - sj)))
                return c < 0;
            i = ei;
            j = ej;
            continue;
        }
        const char32_t ca = a[i].toCaseFolded().unicode(), cb = b[j].toCaseFolded().unicode();
        if (ca != cb)
            return ca < cb;
        ++i;
        ++j;
    }
    if (a.size() - i != b.size() - j)
        return a.size() - i < b.size() - j;
    return a < b;
}

} // namespace

QStringList TZenViewWindow::PicturesIn(const QString& directory) {
    QStringList filters;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        filters << "*." + QString::fromLatin1(format);
    QDir dir(directory);
    QStringList names = dir.entryList(filters, QDir::Files | QDir::Hidden | QDir::Readable);
    std::sort(names.begin(), names.end(), NameLess);
    QStringList paths;
    for (const QString& name : names)
        paths << dir.filePath(name);
    return paths;
}

bool TZenViewWindow::OpenPicture(const QString& path) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull()) {
        statusBar()->showMessage(QString("Cannot show %1: %2").arg(path, reader.errorString()));
        return false;
    }
    delete m_pixmap;
    m_pixmap = new QPixmap(QPixmap::fromImage(image));
    m_path = QFileInfo(path).absoluteFilePath();
    m_siblings = PicturesIn(QFileInfo(m_path).absolutePath());
    setWindowTitle(QFileInfo(m_path).fileName() + " - zenview");
    statusBar()->showMessage(QString("%1 x %2   %3 of %4")
                                 .arg(image.width())
                                 .arg(image.height())
                                 .arg(m_siblings.indexOf(m_path) + 1)
                                 .arg(m_siblings.size()));
    showScaled();
    return true;
}

void TZenViewWindow::NextPicture() {
    const qsizetype i = m_siblings.indexOf(m_path);
    for (qsizetype k = 1; k < m_siblings.size(); ++k)
        if (OpenPicture(m_siblings[(i + k) % m_siblings.size()]))
            return;
}

void TZenViewWindow::PreviousPicture() {
    const qsizetype n = m_siblings.size();
    const qsizetype i = m_siblings.indexOf(m_path);
    for (qsizetype k = 1; k < n; ++k)
        if (OpenPicture(m_siblings[((i - k) % n + n) % n]))
            return;
}

void TZenViewWindow::ZoomIn() {
    m_fit = false;
    m_zoom = std::min(m_zoom * 1.25, 32.0);
    showScaled();
}

void TZenViewWindow::ZoomOut() {
    m_fit = false;
    m_zoom = std::max(m_zoom / 1.25, 1.0 / 32);
    showScaled();
}

void TZenViewWindow::ToggleFit() {
    m_fit = !m_fit;
    if (!m_fit)
        m_zoom = 1.0;
    showScaled();
}

void TZenViewWindow::ToggleFullScreen() {
    if (isFullScreen())
        showNormal();
    else
        showFullScreen();
}

void TZenViewWindow::showScaled() {
    if (!m_pixmap)
        return;
    QSize size = m_pixmap->size();
    if (m_fit) {
        const QSize room = m_scroll->viewport()->size();
        if (size.width() > room.width() || size.height() > room.height())
            size = size.scaled(room, Qt::KeepAspectRatio);
        m_zoom = static_cast<double>(size.width()) / std::max(1, m_pixmap->width());
    } else {
        size = QSize(static_cast<int>(size.width() * m_zoom),
                     static_cast<int>(size.height() * m_zoom));
    }
    m_label->setPixmap(m_pixmap->scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    m_label->resize(size);
}

void TZenViewWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (m_fit)
        showScaled();
}

void TZenViewWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_PageDown:
    case Qt::Key_Right:
        return NextPicture();
    case Qt::Key_Backspace:
    case Qt::Key_PageUp:
    case Qt::Key_Left:
        return PreviousPicture();
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return ZoomIn();
    case Qt::Key_Minus:
        return ZoomOut();
    case Qt::Key_F:
        return ToggleFit();
    case Qt::Key_F11:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return ToggleFullScreen();
    case Qt::Key_Escape:
        if (isFullScreen())
            return showNormal();
        close();
        return;
    default:
        QMainWindow::keyPressEvent(event);
    }
}

} // namespace zentrix
