#include "gui/view/tfilepropertiesdialog.h"

#include "gui/controls/a11y.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QMimeDatabase>
#include <QVBoxLayout>

namespace zentrix {

namespace {

QString permissionText(QFile::Permissions p) {
    QString s;
    const std::pair<QFile::Permission, char> bits[] = {
        {QFile::ReadOwner, 'r'}, {QFile::WriteOwner, 'w'}, {QFile::ExeOwner, 'x'},
        {QFile::ReadGroup, 'r'}, {QFile::WriteGroup, 'w'}, {QFile::ExeGroup, 'x'},
        {QFile::ReadOther, 'r'}, {QFile::WriteOther, 'w'}, {QFile::ExeOther, 'x'}};
    for (const auto& [bit, letter] : bits)
        s += (p & bit) ? QChar(letter) : QChar('-');
    return s;
}

} // namespace

TFilePropertiesDialog::TFilePropertiesDialog(const QString& catalogueName, const QString& hostPath,
                                             QWidget* parent)
    : QDialog(parent) {
    setObjectName("TFilePropertiesDialog");
    const QFileInfo info(hostPath);
    setWindowTitle(info.fileName() + " Properties");
    const QLocale locale;
    auto when = [&](const QDateTime& t) {
        return t.isValid() ? locale.toString(t, QLocale::LongFormat) : QString("-");
    };
    m_rows = {
        {"Name", info.fileName()},
        {"Location", catalogueName.left(catalogueName.lastIndexOf('\\') + 1)},
        {"Host path", info.absoluteFilePath()},
        {"Type", QMimeDatabase().mimeTypeForFile(info).comment()},
        {"Size", locale.toString(info.size()) + " bytes"},
        {"Modified", when(info.lastModified())},
        {"Accessed", when(info.lastRead())},
        {"Status changed", when(info.metadataChangeTime())},
        {"Owner", info.owner().isEmpty() ? QString::number(info.ownerId()) : info.owner()},
        {"Group", info.group().isEmpty() ? QString::number(info.groupId()) : info.group()},
        {"Permissions", permissionText(info.permissions())},
    };
    if (info.isSymLink())
        m_rows.append({"Link to", info.symLinkTarget()});
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (const auto& [label, value] : m_rows) {
        auto* v = new QLabel(value, this);
        v->setTextFormat(Qt::PlainText);
        v->setTextInteractionFlags(Qt::TextSelectableByMouse);
        v->setAccessibleName(label + ": " + value);
        form->addRow(label + ":", v);
    }
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

} // namespace zentrix
