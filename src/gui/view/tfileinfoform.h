#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QTabWidget;

namespace zentrix {

/// What the file information window shows of a file (gathered by its caller).
struct FileInfoFacts {
    std::string fileName;
    std::string path;     // catalogue directory
    std::string hostPath; // to read the icon and the dump from
    std::string type;
    std::string sizeText;
    std::string dateText;
    std::vector<std::string> infoLines; // from the FileInfo library
};

/// "File Information": a General page (name, icon, information lines, path,
/// type, size, date) and a Dump page (the first 1,024 bytes). Enter or Esc
/// closes it.
class TFileInfoForm : public QDialog {
    Q_OBJECT
public:
    TFileInfoForm(const FileInfoFacts& facts, QWidget* parent = nullptr);

    QTabWidget* pages = nullptr;
    QLabel* lbFileName = nullptr;
    QLabel* imgIcon = nullptr;
    QPlainTextEdit* meInfo = nullptr;
    QLabel* lbPath = nullptr;
    QLabel* lbType = nullptr;
    QLabel* lbSize = nullptr;
    QLabel* lbDate = nullptr;
    QPlainTextEdit* meDump = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace zentrix
