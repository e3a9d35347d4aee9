#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace zentrix {

/// A framed group of radio buttons with one chosen item, addressed by index.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

    /// The chosen item, -1 for none.
    int ItemIndex() const;
    /// Chooses an item; an index outside the items chooses none.
    void SetItemIndex(int index);
    int Count() const;
    QRadioButton* Button(int index) const;

signals:
    void itemIndexChanged(int index);

private:
    QButtonGroup* m_group;
};

} // namespace zentrix
