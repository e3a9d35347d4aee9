#include "diskinfoform.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <cstdio>

namespace zentrix::utils {

std::string DescribeBytes(uint64_t bytes) {
    std::string digits = std::to_string(bytes);
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += '.';
        grouped += digits[i];
    }
    std::string text = grouped + (bytes == 1 ? " byte" : " bytes");
    static const char* units[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    if (bytes >= 1024) {
        double value = static_cast<double>(bytes);
        int unit = -1;
        while (value >= 1024.0 && unit < 5) {
            value /= 1024.0;
            ++unit;
        }
        char buf[32];
        std::snprintf(buf, sizeof buf, " (%.1f %s)", value, units[unit]);
        text += buf;
    }
    return text;
}

std::string SerialText(uint32_t serial) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04X-%04X", static_cast<unsigned>(serial >> 16),
                  static_cast<unsigned>(serial & 0xFFFF));
    return buf;
}

TDiskInfoForm::TDiskInfoForm(const ZxVolumeFacts& facts, QWidget* parent) : QDialog(parent) {
    setObjectName("DiskInfoForm");
    const QString drive = QString(QChar(facts.letter)) + ":";
    setWindowTitle("Disk information - " + drive);

    auto* layout = new QVBoxLayout(this);
    m_form = new QFormLayout;
    layout->addLayout(m_form);

    addRow("Drive:", drive + "\\");
    addRow("Kind:", QString::fromUtf8(facts.kind) + (facts.virtualRoot ? " (virtual root)" : ""));
    addRow("Directory:", QString::fromUtf8(facts.root));
    if (!facts.ready) {
        addRow("State:", "Not ready (the drive's directory cannot be read)");
    } else {
        addRow("Volume label:", facts.label[0] ? QString::fromUtf8(facts.label) : "(none)");
        addRow("File system:", QString::fromUtf8(facts.fileSystem));
        addRow("Device:", QString::fromUtf8(facts.device));
        addRow("Mounted at:", QString::fromUtf8(facts.mountPoint));
        addRow("Serial number:",
               facts.hasSerial ? QString::fromStdString(SerialText(facts.serial)) : "(none)");
        const uint64_t used =
            facts.totalBytes >= facts.freeBytes ? facts.totalBytes - facts.freeBytes : 0;
        addRow("Total space:", QString::fromStdString(DescribeBytes(facts.totalBytes)));
        addRow("Used space:", QString::fromStdString(DescribeBytes(used)));
        addRow("Free space:", QString::fromStdString(DescribeBytes(facts.freeBytes)));
        auto* bar = new QProgressBar(this);
        bar->setObjectName("pbUsage");
        bar->setAccessibleName("Used space");
        bar->setRange(0, 1000);
        bar->setValue(facts.totalBytes ? static_cast<int>(used * 1000 / facts.totalBytes) : 0);
        bar->setFormat(facts.totalBytes ? QString("%1% used")
                                              .arg(static_cast<double>(used) * 100.0 /
                                                       static_cast<double>(facts.totalBytes),
                                                   0, 'f', 1)
                                        : QString("empty"));
        m_form->addRow("Usage:", bar);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    setMinimumWidth(380);
}

void TDiskInfoForm::addRow(const QString& caption, const QString& text) {
    auto* label = new QLabel(text, this);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Screen readers hear caption and value together ("Volume label: DATA"). The
    // property marks a value label for the program's accessibility (which gives it
    // a text interface); tests find rows by it.
    label->setAccessibleName(caption + " " + text);
    label->setProperty("zentrixValueCaption", caption.chopped(1));
    m_form->addRow(caption, label);
}

} // namespace zentrix::utils
