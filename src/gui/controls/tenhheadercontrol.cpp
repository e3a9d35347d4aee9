#include "gui/controls/tenhheadercontrol.h"

#include "config/controlstate.h"
#include "config/tenhinifile.h"

namespace zentrix {

TEnhHeaderControl::TEnhHeaderControl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

void TEnhHeaderControl::RestoreWidths() {
    RestoreWidths(this, objectName(), IniFileName);
}

void TEnhHeaderControl::SaveWidths() const {
    SaveWidths(this, objectName(), IniFileName);
}

void TEnhHeaderControl::RestoreWidths(QHeaderView* header, const QString& section,
                                      const QString& iniFileName) {
    if (!header || section.isEmpty())
        return;
    std::vector<int> current;
    for (int i = 0; i < header->count(); ++i)
        current.push_back(header->sectionSize(i));
    const TEnhIniFile store(StoreNameFor(iniFileName.toStdString()));
    const std::vector<int> widths = ReadHeaderWidths(store, section.toStdString(), current);
    for (int i = 0; i < header->count(); ++i)
        if (widths[static_cast<size_t>(i)] >= 0) // a damaged value never hides a column
            header->resizeSection(i, widths[static_cast<size_t>(i)]);
}

void TEnhHeaderControl::SaveWidths(const QHeaderView* header, const QString& section,
                                   const QString& iniFileName) {
    if (!header || section.isEmpty())
        return;
    std::vector<int> widths;
    for (int i = 0; i < header->count(); ++i)
        widths.push_back(header->sectionSize(i));
    TEnhIniFile store(StoreNameFor(iniFileName.toStdString()));
    WriteHeaderWidths(store, section.toStdString(), widths);
}

} // namespace zentrix
