#pragma once

#include "config/historylist.h"
#include "gui/controls/tenhcombobox.h"

namespace zentrix {

struct HistoryBoxSpec;

/// A history box: an editable drop-down list of the last values entered, kept in
/// the settings store under `IniSection` ("H0", "H1", ...; see HistoryList for
/// the load and save rules). Without a section it is an ordinary TEnhComboBox.
class THistoryComboBox : public TEnhComboBox {
    Q_OBJECT
public:
    explicit THistoryComboBox(QWidget* parent = nullptr);

    /// A box of the table: named after its component, with its section and
    /// length, loaded at once. For the main window's boxes pass
    /// `raiseAfterLoad`: after the first load the length and the drop-down count
    /// become 20. `text` is the box's text before the load, which a full
    /// history replaces by its first entry.
    static THistoryComboBox* Create(const HistoryBoxSpec& spec, QWidget* parent,
                                    bool raiseAfterLoad, const QString& text = {});

    QString IniFileName() const { return m_iniFileName; }
    void setIniFileName(const QString& name) { m_iniFileName = name; }
    QString IniSection() const;
    void setIniSection(const QString& section);
    int MaxHistoryLength() const { return m_history.MaxHistoryLength; }
    void setMaxHistoryLength(int length) { m_history.MaxHistoryLength = length; }

    /// Non-zero while a caller has put a stored entry into the box; the shared
    /// close-up handler then reloads instead of saving.
    int Tag = 0;

    /// Reads the history from the store (nothing without a section).
    void Load();
    /// Puts the text first and writes the history (nothing without a section).
    void Save();
    /// Reloads the history and appends `chosen` after it, selected and shown.
    void ReloadAndAppend(const QString& chosen);
    /// The items as the box holds them, most recent first.
    std::vector<std::string> Items() const;
    /// Opens the list with `items` in place of the history, the text kept; the
    /// box is tagged, so that the close-up brings the history back. Nothing
    /// happens without items.
    void ShowInsteadOfHistory(const std::vector<std::string>& items);

private:
    void showItems(const std::vector<std::string>& items);
    std::string storeName() const;

    QString m_iniFileName;
    HistoryList m_history;
};

/// The main window's shared close-up handler of the history boxes: a box marked
/// with a tag gets its history reloaded and the chosen entry appended and shown;
/// any other box gets its text put first and its history saved.
void HistoryBoxWriteIniOnCloseUp(THistoryComboBox* box);

} // namespace zentrix
