#pragma once

#include "core/helpindex.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class QPoint;
class QWidget;

namespace zentrix {

class THelpForm;

/// The program's help: the help window with the topics of the help folder,
/// F1 for the topic of the focused control, "What is this?" (Shift+F1, the
/// Help menu and the popups' items) for the hint of the control clicked, and the
/// topics that the options dialog and the error window ask for by number.
///
/// The help folder is `ZENTRIX_HELP_DIR` when set, else the first of
/// HelpDirectoryCandidates() for the executable's folder that exists. Which
/// topic belongs to which control or context number the topics say themselves
/// (HelpTopic); a control without a topic of its own takes its parent's.
///
/// Ownership: a child of the main window; owns the help window while it is open.
class HelpController : public QObject {
    Q_OBJECT
public:
    explicit HelpController(QWidget* window);
    ~HelpController() override;

    /// The commands of the Help menu and of the popups' "What is this?" items.
    std::vector<std::pair<std::string, std::function<void()>>> commands();

    /// "&Contents ...": the help window on the contents page.
    void ShowContents();
    /// F1: the topic of the focused control (of the active window's when none
    /// has one of its own).
    void ShowContextHelp();
    /// A topic by its help-context number; `popup` shows the start of its
    /// section as a hint at the pointer instead of the whole topic.
    void ShowHelpTopic(int context, bool popup);
    /// A topic by file name and section ("tree.html#keys").
    void ShowTopic(const QString& topic);
    /// "What is this?": the next click on a control shows its hint.
    void EnterWhatsThisMode();
    /// Shows the hint of `widget` at `globalPos`, with a link to its topic;
    /// false when neither it nor a control around it has a hint.
    bool ShowHint(QWidget* widget, const QPoint& globalPos);
    /// The hint of a control, as What's This shows it: its own, else that of
    /// the nearest control around it that has one.
    static QString HintOf(const QWidget* widget);
    /// The topic ("tree.html#keys") of a control: its own, else that of the
    /// nearest control around it that has one; empty when none has.
    QString TopicOf(const QWidget* widget);

    QString helpDirectory() const { return m_directory; }
    const HelpIndex& index();
    /// The help window, while it is open.
    THelpForm* helpWindow() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    THelpForm* openWindow();
    void giveHints();

    QWidget* m_window;
    QString m_directory;
    HelpIndex m_index;
    bool m_loaded = false;
    QPointer<THelpForm> m_form;
};

} // namespace zentrix
