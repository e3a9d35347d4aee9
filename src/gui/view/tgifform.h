#pragma once

#include <QDialog>

class QLabel;
class QMovie;

namespace zentrix {

/// The animated picture window: a GIF file at its own size, played in a loop.
class TGifForm : public QDialog {
    Q_OBJECT
public:
    explicit TGifForm(QWidget* parent = nullptr);
    /// Loads the picture; false when it is no readable GIF.
    bool Load(const QString& hostPath);
    QMovie* movie() const { return m_movie; }
    QLabel* picture() const { return m_label; }

private:
    QLabel* m_label = nullptr;
    QMovie* m_movie = nullptr;
};

} // namespace zentrix
