#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

namespace zentrix {

class THistoryComboBox;

/// The command strip's page of "Search ..." (ts_FC_SearchStrings): "Search
/// files for text:", the box hbSearchStrings (history "SearchStringsHistory"),
/// cb_IgnoreCase ("&Ignore case?"), "&OK" and "&Cancel". Enter in the box (with
/// its list closed) is "&OK", Esc is "&Cancel". The page only reports.
class TSearchStringsPage : public QWidget {
    Q_OBJECT
public:
    explicit TSearchStringsPage(QWidget* parent = nullptr);

    QLabel* pnSearchStrings = nullptr;
    THistoryComboBox* hbSearchStrings = nullptr;
    QCheckBox* cb_IgnoreCase = nullptr;
    QPushButton* bbSearchStringsOK = nullptr;
    QPushButton* bbSearchStringsCancel = nullptr;

    QString text() const;
    bool ignoreCase() const;

signals:
    void okClicked(const QString& text, bool ignoreCase);
    void cancelClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace zentrix
