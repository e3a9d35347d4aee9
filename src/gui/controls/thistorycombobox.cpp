#include "gui/controls/thistorycombobox.h"

#include "config/controlstate.h"
#include "config/historyboxes.h"
#include "config/tenhinifile.h"
#include "gui/controls/a11y.h"

#include <QAbstractItemView>

namespace zentrix {

THistoryComboBox::THistoryComboBox(QWidget* parent) : TEnhComboBox(parent) {}

THistoryComboBox* THistoryComboBox::Create(const HistoryBoxSpec& spec, QWidget* parent,
                                           bool raiseAfterLoad, const QString& text) {
    auto* box = new THistoryComboBox(parent);
    NameComponent(box, spec.control, QString::fromUtf8(spec.accessibleName));
    box->setIniSection(QString::fromUtf8(spec.section));
    box->setMaxHistoryLength(spec.length);
    if (!text.isEmpty())
        box->setEditText(text);
    box->Load();
    if (raiseAfterLoad) {
        box->setMaxHistoryLength(kMainHistoryLengthAfterLoad);
        box->setDropDownCount(kMainHistoryLengthAfterLoad);
    }
    return box;
}

QString THistoryComboBox::IniSection() const {
    return QString::fromStdString(m_history.IniSection);
}

void THistoryComboBox::setIniSection(const QString& section) {
    m_history.IniSection = section.toStdString();
}

std::string THistoryComboBox::storeName() const {
    return StoreNameFor(m_iniFileName.toStdString());
}

std::vector<std::string> THistoryComboBox::Items() const {
    std::vector<std::string> items;
    items.reserve(static_cast<size_t>(count()));
    for (int i = 0; i < count(); ++i)
        items.push_back(itemText(i).toStdString());
    return items;
}

void THistoryComboBox::showItems(const std::vector<std::string>& items) {
    const QString text = currentText();
    clear(); // also empties the text of an editable box
    for (const std::string& item : items)
        addItem(QString::fromStdString(item));
    setEditText(text);
}

void THistoryComboBox::Load() {
    if (m_history.IniSection.empty())
        return;
    const TEnhIniFile store(storeName());
    const std::optional<std::string> text = m_history.Load(store);
    showItems(m_history.Items);
    if (text)
        setCurrentIndex(0);
}

void THistoryComboBox::Save() {
    if (m_history.IniSection.empty())
        return;
    m_history.Items = Items();
    {
        TEnhIniFile store(storeName());
        m_history.Save(store, currentText().toStdString());
    }
    showItems(m_history.Items);
    if (count() > 0)
        setCurrentIndex(0);
}

void THistoryComboBox::ReloadAndAppend(const QString& chosen) {
    m_history.Items = Items(); // what stays when there is no section to reload from
    const TEnhIniFile store(storeName());
    const int index = m_history.ReloadAndAppend(store, chosen.toStdString());
    showItems(m_history.Items);
    setCurrentIndex(index);
}

void THistoryComboBox::ShowInsteadOfHistory(const std::vector<std::string>& items) {
    if (items.empty())
        return;
    const QString text = currentText();
    Tag = 1;
    clear();
    for (const std::string& item : items)
        addItem(QString::fromStdString(item));
    setEditText(text);
    showPopup();
}

void HistoryBoxWriteIniOnCloseUp(THistoryComboBox* box) {
    if (!box)
        return;
    if (box->Tag != 0) {
        box->Tag = 0;
        // The list has just closed: the entry highlighted in it is the text now
        // (the box's current item is still the old one until Qt hands it over).
        const QString text = box->currentText();
        if (box->Escaped()) {
            box->Load(); // nothing chosen: the history comes back, the text stays
            box->setEditText(text);
        } else {
            box->ReloadAndAppend(text);
        }
    } else {
        box->Save();
    }
    // Right after this Qt makes the row highlighted in the list the box's
    // current item; the list was refilled, so that row must be the one shown,
    // or the text would give way to another entry or to nothing.
    if (QAbstractItemView* list = box->view())
        list->setCurrentIndex(box->currentIndex() >= 0
                                  ? box->model()->index(box->currentIndex(), box->modelColumn(),
                                                        box->rootModelIndex())
                                  : QModelIndex());
}

} // namespace zentrix
