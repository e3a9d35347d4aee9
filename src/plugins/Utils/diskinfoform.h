#pragma once

#include "pluginapi/pluginapi.h"

#include <QDialog>
#include <string>

class QFormLayout;

namespace zentrix::utils {

/// Byte counts as "1.234.567 bytes (1.2 MB)".
std::string DescribeBytes(uint64_t bytes);
/// A volume serial number as "12AB-34CD".
std::string SerialText(uint32_t serial);

/// The facts of one volume, as the program's platform layer reports them.
class TDiskInfoForm : public QDialog {
public:
    TDiskInfoForm(const ZxVolumeFacts& facts, QWidget* parent);

private:
    void addRow(const QString& caption, const QString& text);
    QFormLayout* m_form = nullptr;
};

} // namespace zentrix::utils
