#include "gui/tree/dirpropertiesdialog.h"

#include "catalogue/catalogue.h"
#include "gui/controls/a11y.h"
#include "platform/drivetable.h"
#include "platform/volume.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

namespace zentrix {

namespace {

QString permissions(mode_t m) {
    QString s;
    const char* flags = "rwxrwxrwx";
    for (int i = 0; i < 9; ++i)
        s += (m & (0400 >> i)) ? QChar(flags[i]) : QChar('-');
    return s;
}

QString bytes(uint64_t n) {
    return QLocale().toString(static_cast<qulonglong>(n)) + " bytes (" +
           QLocale().formattedDataSize(static_cast<qint64>(n)) + ")";
}

} // namespace

TDirPropertiesDialog::TDirPropertiesDialog(Catalogue& catalogue, TTreeNode* node, QWidget* parent,
                                           const QString& followText)
    : QDialog(parent) {
    setObjectName("DirPropertiesDialog");
    setWindowTitle("Properties");
    const std::string path = node->Path();
    const auto host = catalogue.HostPath(node);
    m_rows.append({"Directory", QString::fromStdString(path)});
    m_rows.append({"Location", host ? QString::fromStdString(*host) : QString("(not on a drive)")});
    m_rows.append({"Kind", QString(node->IsLink() ? "Link to a directory" : !node->Parent() ? "Disk" : "Directory")});
    if (node->Logged()) {
        const Catalogue::Figures f = catalogue.BranchFigures(node, false);
        m_rows.append({"Files here", QString::number(node->Data()->NumFilesInDir())});
        m_rows.append({"Files in branch (logged)", QString::number(f.count)});
        m_rows.append({"Branch size (logged)", QLocale().toString(f.kb) + " Kb"});
    } else {
        m_rows.append({"Files here", QString("not logged")});
    }
    m_rows.append({"Subdirectories", QString::number(node->Count())});
    struct stat st{};
    if (host && ::stat(host->c_str(), &st) == 0) {
        const passwd* pw = ::getpwuid(st.st_uid);
        const group* gr = ::getgrgid(st.st_gid);
        m_rows.append({"Owner", QString("%1 / %2")
                                    .arg(pw ? pw->pw_name : QString::number(st.st_uid))
                                    .arg(gr ? gr->gr_name : QString::number(st.st_gid))});
        m_rows.append({"Permissions", permissions(st.st_mode)});
        m_rows.append({"Modified", QLocale().toString(QDateTime::fromSecsSinceEpoch(st.st_mtime),
                                                      QLocale::LongFormat)});
    }
    if (!node->Parent()) {
        if (const platform::DriveInfo* d = catalogue.Drives().Find(node->DriveLetter())) {
            const platform::VolumeInfo v = platform::QueryVolume(*d);
            m_rows.append({"Drive kind", QString(platform::DriveKindName(d->kind))});
            m_rows.append({"Label", v.label.empty() ? QString("None") : QString::fromStdString(v.label)});
            m_rows.append({"File system", QString::fromStdString(v.fsType)});
            m_rows.append({"Capacity", bytes(v.totalBytes)});
            m_rows.append({"Free", bytes(v.freeBytes)});
            if (v.hasSerial)
                m_rows.append({"Serial number", QString("%1-%2")
                                                    .arg(v.serial >> 16, 4, 16, QChar('0'))
                                                    .arg(v.serial & 0xFFFF, 4, 16, QChar('0'))
                                                    .toUpper()});
        }
        if (!followText.isEmpty())
            m_rows.append({"Changes on disk", followText});
    }
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (const auto& [label, value] : m_rows) {
        auto* v = new QLabel(value, this);
        v->setTextInteractionFlags(Qt::TextSelectableByMouse);
        MarkValueLabel(v, label);
        form->addRow(label + ":", v);
    }
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

} // namespace zentrix
