#pragma once

#include <QHeaderView>

namespace zentrix {

/// A horizontal header whose section widths persist in the section named after
/// the control (the file window's header is "FileHeader"): Section0Width,
/// Section1Width, ...
class TEnhHeaderControl : public QHeaderView {
public:
    explicit TEnhHeaderControl(QWidget* parent = nullptr);

    QString IniFileName;

    /// Applies the stored widths; a section without a stored width keeps its own.
    void RestoreWidths();
    /// Replaces the stored widths with the current ones.
    void SaveWidths() const;

    /// The same for any header, stored under `section`.
    static void RestoreWidths(QHeaderView* header, const QString& section,
                              const QString& iniFileName = {});
    static void SaveWidths(const QHeaderView* header, const QString& section,
                           const QString& iniFileName = {});
};

} // namespace zentrix
