#pragma once

#include <QFrame>

class QComboBox;
class QGroupBox;
class QLabel;
class QToolButton;
class QVBoxLayout;

namespace zentrix {

struct CurrentFileTexts;
struct StatisticsTexts;

/// The file specification and statistics beside the file window: "File Spec:"
/// with its two buttons and the specification box, the current-file panel,
/// the tagged-files group and the current-directory group. The main window
/// places it; the file window's controller fills it.
class StatisticsPanel : public QFrame {
    Q_OBJECT
public:
    explicit StatisticsPanel(QWidget* parent = nullptr);

    /// The specification box (a plain editable combo box until the history box
    /// takes its place; the panel does not own a box set from outside).
    QComboBox* FileSpecBox() const { return hbFileSpec; }
    void setFileSpecBox(QComboBox* box);

    void showStatistics(const StatisticsTexts& texts);
    void showCurrentFile(const CurrentFileTexts& texts);
    /// The inversion display: red text and a raised bevel when inverted.
    void showInversion(bool inverted);

    QFrame* pnFileSpec = nullptr;
    QLabel* lbFileSpec = nullptr; // "File Spec:"
    QToolButton* sbDefaultFSpec = nullptr;
    QToolButton* sbExtFileSpec = nullptr;
    QComboBox* hbFileSpec = nullptr;
    QFrame* pnCurFile = nullptr;
    QLabel* lbCurrFilePos = nullptr;
    QLabel* lbCurrFileNm = nullptr;
    QLabel* lbCurrFileSize = nullptr;
    QLabel* lbCurrFileDate = nullptr;
    QLabel* lbCurrFileDesc = nullptr;
    QGroupBox* TaggedGroupBox = nullptr;
    QLabel* TaggedFilesLabel = nullptr;
    QLabel* TaggedBytesLabel = nullptr;
    QGroupBox* CurrDirStatGroupBox = nullptr;
    QLabel* FilesInDirLabel = nullptr;
    QLabel* TotalDirSizeLabel = nullptr;

signals:
    /// A click on "File Spec:".
    void pnFileSpecClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QVBoxLayout* m_layout = nullptr;
    bool m_inverted = false;
};

} // namespace zentrix
