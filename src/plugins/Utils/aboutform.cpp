#include "aboutform.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

namespace zentrix::utils {

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle("About Zentrix");
    setObjectName("AboutForm");

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* icon = new QLabel(this);
    QIcon appIcon = QApplication::windowIcon();
    if (appIcon.isNull())
        appIcon = style()->standardIcon(QStyle::SP_DirHomeIcon);
    icon->setPixmap(appIcon.pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);
    top->addWidget(icon);

    auto* text = new QVBoxLayout;
    auto* name = new QLabel("<b><big>Zentrix</big></b>", this);
    name->setObjectName("lbProgramName");
    auto* version = new QLabel("Version 1.0", this);
    version->setObjectName("lbVersion");
    auto* what = new QLabel(
        "A keyboard-driven file manager. Zentrix reads the disks you log into an in-memory "
        "catalogue, shows their directories as a tree beside a file window, and lets you tag "
        "files by name, pattern, attributes, age or content and then copy, move, delete, "
        "rename, test or archive all tagged files at once.",
        this);
    what->setObjectName("lbDescription");
    what->setWordWrap(true);
    what->setFixedWidth(340); // wrapped text needs a width to take its height from
    auto* built = new QLabel(
        QString("Built with Qt %1, running on Qt %2.").arg(QT_VERSION_STR, qVersion()), this);
    auto* maker = new QLabel("Copyright \u00A9 Morvane. All rights reserved.", this);
    text->addWidget(name);
    text->addWidget(version);
    text->addSpacing(6);
    text->addWidget(what);
    text->addSpacing(6);
    text->addWidget(built);
    text->addWidget(maker);
    top->addLayout(text, 1);
    layout->addLayout(top);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace zentrix::utils
