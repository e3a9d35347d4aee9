#pragma once

#include <QMainWindow>
#include <QString>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QSplitter;
class QTextBrowser;
class QToolButton;

namespace zentrix {

class HelpIndex;

/// The help window: the topics of the help folder with their links, the
/// contents page, back and forward, and a search over all topics (every word
/// must occur; the topics that hold them are listed best first, and choosing one
/// shows it with the first match selected).
class THelpForm : public QMainWindow {
    Q_OBJECT
public:
    /// `index` (owned by the caller, who keeps it while the window lives) holds
    /// the topics read from `directory`.
    THelpForm(const HelpIndex& index, const QString& directory, QWidget* parent = nullptr);

    /// Shows a topic: "tree.html" or "tagging.html#attributes".
    void ShowTopic(const QString& topic);
    void ShowContents();
    /// Lists the topics that hold the words; the list replaces the topic view's
    /// side pane until the search box is emptied.
    void Search(const QString& words);

    /// The file name of the topic shown ("tree.html"), and its section.
    QString currentTopic() const;
    QString currentAnchor() const;

    QToolButton* btnContents = nullptr;
    QToolButton* btnBack = nullptr;
    QToolButton* btnForward = nullptr;
    QLineEdit* edSearch = nullptr;
    QListWidget* lbResults = nullptr;
    QTextBrowser* HelpText = nullptr;

    static constexpr const char* kContentsPage = "index.html";

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openResult(QListWidgetItem* item);
    void updateTitle(const QString& file);

    const HelpIndex& m_index;
    QString m_directory;
    QSplitter* m_split = nullptr;
    QString m_searchWords;
};

} // namespace zentrix
