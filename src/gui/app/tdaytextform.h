#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;

namespace zentrix {

/// The window of the tip and the quote of the day: one text at a time, with
/// "&Previous" and "&Next" (both wrap around) and a check box that says whether
/// the window appears at start-up. The check box edits a setting in memory; the
/// settings are stored with all others.
class TDayTextForm : public QDialog {
public:
    /// `texts` must not be empty; `showAtStartUp` outlives the window. With
    /// `withAuthor` a text's " -- author" part is shown on a line of its own.
    TDayTextForm(const QString& title, const QString& heading, std::vector<std::string> texts,
                 bool& showAtStartUp, const QString& checkCaption, bool withAuthor,
                 QWidget* parent);

    int Index() const { return m_index; }
    void ShowText(int index);

    QLabel* lbText = nullptr;
    QLabel* lbSource = nullptr;
    QLabel* lbCounter = nullptr;
    QCheckBox* cbShowAtStartUp = nullptr;
    QPushButton* btnPrevious = nullptr;
    QPushButton* btnNext = nullptr;

private:
    std::vector<std::string> m_texts;
    bool m_withAuthor;
    bool& m_showAtStartUp;
    int m_index = 0;
};

/// The texts of a resource of the program (":/daytexts/tips.txt"); empty when the
/// resource is missing.
std::vector<std::string> LoadDayTextResource(const QString& path);

/// The day's number the windows start from (days since 1970, local date).
long long TodayNumber();

} // namespace zentrix
