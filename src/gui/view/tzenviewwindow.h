#pragma once

#include <QMainWindow>
#include <QStringList>

class QLabel;
class QScrollArea;

namespace zentrix {

/// The picture viewer program: one picture, the next and previous picture of
/// its directory, zoom, fit to the window and full screen.
class TZenViewWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit TZenViewWindow(QWidget* parent = nullptr);

    /// Shows a picture and learns the pictures of its directory.
    bool OpenPicture(const QString& path);
    void NextPicture();
    void PreviousPicture();
    void ZoomIn();
    void ZoomOut();
    void ToggleFit();
    void ToggleFullScreen();

    const QString& currentPath() const { return m_path; }
    double zoom() const { return m_zoom; }
    bool fit() const { return m_fit; }
    QLabel* picture() const { return m_label; }

    /// The pictures of a directory in name order (what the next and previous
    /// keys walk through).
    static QStringList PicturesIn(const QString& directory);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showScaled();

    QScrollArea* m_scroll = nullptr;
    QLabel* m_label = nullptr;
    QPixmap* m_pixmap = nullptr;
    QString m_path;
    QStringList m_siblings;
    double m_zoom = 1.0;
    bool m_fit = true;
};

} // namespace zentrix
