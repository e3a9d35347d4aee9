#include "gui/view/tfileinfoform.h"

#include "gui/controls/a11y.h"
#include "gui/controls/desktopicon.h"
#include "view/desktopentry.h"
#include "view/viewertext.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeDatabase>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zentrix {

namespace {

QString q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

QIcon iconFor(const FileInfoFacts& facts) {
    const QString name = q(facts.fileName);
    if (name.compare("DESKTOP.INI", Qt::CaseInsensitive) == 0)
        return QIcon::fromTheme("folder");
    if (name.endsWith(".desktop", Qt::CaseInsensitive)) {
        const QIcon icon = DesktopEntryQIcon(DesktopEntryIcon(facts.hostPath));
        if (!icon.isNull())
            return icon;
    }
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(q(facts.hostPath));
    QIcon icon = QIcon::fromTheme(mime.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(mime.genericIconName(), QIcon::fromTheme("text-x-generic"));
    return icon;
}

} // namespace

TFileInfoForm::TFileInfoForm(const FileInfoFacts& facts, QWidget* parent) : QDialog(parent) {
    setObjectName("TFileInfoForm");
    setWindowTitle("File Information");
    resize(460, 420);
    auto* layout = new QVBoxLayout(this);
    pages = new QTabWidget(this);
    NameComponent(pages, "pcFileInfo", "File information pages");
    layout->addWidget(pages);

    auto* general = new QWidget;
    auto* form = new QFormLayout(general);
    lbFileName = new QLabel(q(facts.fileName), general);
    lbFileName->setTextFormat(Qt::PlainText);
    NameComponent(lbFileName, "lbFileName", q(facts.fileName));
    imgIcon = new QLabel(general);
    NameComponent(imgIcon, "imgIcon", "File icon");
    imgIcon->setAutoFillBackground(true);
    imgIcon->setPixmap(iconFor(facts).pixmap(32, 32));
    auto* top = new QHBoxLayout;
    top->addWidget(imgIcon);
    top->addWidget(lbFileName, 1);
    form->addRow(top);
    meInfo = new QPlainTextEdit(general);
    NameComponent(meInfo, "meInfo", "File details");
    meInfo->setReadOnly(true);
    QStringList lines;
    for (const std::string& line : facts.infoLines)
        lines << q(line);
    meInfo->setPlainText(lines.join('\n'));
    form->addRow(meInfo);
    auto value = [&](const char* name, const std::string& text, const QString& caption) {
        auto* label = new QLabel(q(text), general);
        label->setTextFormat(Qt::PlainText);
        NameComponent(label, name, caption + ": " + q(text));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(caption + ":", label);
        return label;
    };
    lbPath = value("lbPath", facts.path, "Path");
    lbType = value("lbType", facts.type, "Type");
    lbSize = value("lbSize", facts.sizeText, "Size");
    lbDate = value("lbDate", facts.dateText, "Modified");
    pages->addTab(general, "General");

    meDump = new QPlainTextEdit;
    NameComponent(meDump, "meDump", "Dump");
    meDump->setReadOnly(true);
    meDump->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QFile file(q(facts.hostPath));
    if (QFileInfo(file).isFile() && file.open(QIODevice::ReadOnly)) {
        const QByteArray data = file.read(1024);
        QStringList dump;
        for (const std::string& line : DumpLines(std::string_view(data.constData(), data.size())))
            dump << q(line);
        meDump->setPlainText(dump.join('\n'));
    }
    pages->addTab(meDump, "Dump");
}

void TFileInfoForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Escape) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace zentrix
