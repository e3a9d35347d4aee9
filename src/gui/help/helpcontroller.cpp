#include "gui/help/helpcontroller.h"

#include "gui/help/thelpform.h"
#include "gui/help/thintwindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHelpEvent>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextDocument>
#include <QWhatsThis>
#include <QWidget>

namespace zentrix {

namespace {

/// The hints of the main window's areas that have no tooltip of their own.
struct AreaHint {
    const char* component;
    const char* hint;
};

constexpr AreaHint kAreaHints[] = {
    {"MainTreeView",
     "The directory tree of the logged disks. Enter or + reads one more level of the selected "
     "directory, * reads its whole branch, - forgets it again. L logs another disk, < and "
     "> switch between the logged disks, Backspace goes to the parent directory."},
    {"LoggedDrivesTabSet",
     "One tab for every logged disk. A click on a tab goes to the root directory of that disk."},
    {"MainListBox",
     "The file window: the files of the selected directory, or of a branch, a disk or all "
     "logged disks, that match the file specification. Space, a double click or Ctrl+click "
     "tags a file (tagged files are red); Enter maximises the window; Esc goes back to the "
     "selected directory."},
    {"lbDrives",
     "The drives of this computer. L or a click drops the list down; type a drive letter, or "
     "choose one with the arrow keys and Enter, to log that disk. Esc folds the list up."},
    {"DiskInfoPanel",
     "The current disk: its volume label (click it to change it), its kind, its capacity, its "
     "free space and how much of it is used."},
    {"CurrDirPanel",
     "The current directory; while a file of a view over several directories is current, the "
     "directory of that file."},
    {"pnStatistics",
     "How many files the file window shows and their size, and how many of them are tagged."},
    {"pnCurFile",
     "The current file: its position in the window, name, size, date and description."},
    {"MainStatusBar",
     "The status line: the hint of the item under the pointer, the progress of a long "
     "operation, STOP to stop it, and the name of the user."},
    {"ts_TitlePage", "The program's name and version, and figures about this computer."},
    {"pnQuickView", "The start of the current file, shown while the file window has the focus."},
    {"ts_FC_FileAttr",
     "Type the attributes that the files must have (+A +R +H +S) or must not have (-A -R -H "
     "-S), then press Enter; Esc cancels."},
};

QString Escaped(const QString& text) {
    return text.toHtmlEscaped();
}

} // namespace

HelpController::HelpController(QWidget* window) : QObject(window), m_window(window) {
    setObjectName("HelpController");
    const QByteArray override = qgetenv("ZENTRIX_HELP_DIR");
    if (!override.isEmpty()) {
        m_directory = QString::fromLocal8Bit(override);
    } else {
        const std::string exeDir = QCoreApplication::applicationDirPath().toStdString();
        for (const std::string& candidate : HelpDirectoryCandidates(exeDir)) {
            const QString dir = QDir::cleanPath(QString::fromStdString(candidate));
            if (QFileInfo::exists(QDir(dir).filePath(THelpForm::kContentsPage))) {
                m_directory = dir;
                break;
            }
        }
        if (m_directory.isEmpty())
            m_directory =
                QDir::cleanPath(QString::fromStdString(HelpDirectoryCandidates(exeDir).front()));
    }

    // F1 and Shift+F1 in every window of the program, dialogs included.
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), window);
    f1->setContext(Qt::ApplicationShortcut);
    connect(f1, &QShortcut::activated, this, &HelpController::ShowContextHelp);
    auto* shiftF1 = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1), window);
    shiftF1->setContext(Qt::ApplicationShortcut);
    connect(shiftF1, &QShortcut::activated, this, &HelpController::EnterWhatsThisMode);

    giveHints();
    // What's This events of every control reach the hints here first.
    qApp->installEventFilter(this);
}

HelpController::~HelpController() {
    if (qApp)
        qApp->removeEventFilter(this);
    delete m_form.data();
}

std::vector<std::pair<std::string, std::function<void()>>> HelpController::commands() {
    auto hintOf = [this](const char* component) {
        return [this, component] {
            QWidget* w = m_window->findChild<QWidget*>(QString::fromLatin1(component));
            if (w && w->isVisible())
                ShowHint(w, w->mapToGlobal(QPoint(20, 20)));
        };
    };
    return {
        {"miHelpContentsClick",
         [this] {
             ShowContents();
         }},
        {"miHelpWhatClick",
         [this] {
             EnterWhatsThisMode();
         }},
        // The popups' items explain the window whose popup they are.
        {"pmiWhat4Click", hintOf("MainListBox")},
        {"pmiWhat5Click", hintOf("MainTreeView")},
        {"pmiWhat1Click",
         [this] {
             EnterWhatsThisMode();
         }},
        {"pmiWhat2Click",
         [this] {
             EnterWhatsThisMode();
         }},
        {"pmiWhat3Click",
         [this] {
             EnterWhatsThisMode();
         }},
    };
}

THelpForm* HelpController::helpWindow() const {
    return m_form.data();
}

const HelpIndex& HelpController::index() {
    if (m_loaded)
        return m_index;
    m_loaded = true;
    const QDir dir(m_directory);
    for (const QString& name : dir.entryList({"*.html", "*.htm"}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray html = file.read(static_cast<qint64>(kMaxHelpTopicBytes));
        m_index.Add(
            ReadHelpTopic(name.toStdString(),
                          std::string_view(html.constData(), static_cast<size_t>(html.size()))));
    }
    return m_index;
}

THelpForm* HelpController::openWindow() {
    // A modal dialog blocks every window but its own: help asked for from a
    // dialog opens as a window of that dialog.
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner)
        owner = m_window;
    if (m_form && m_form->parentWidget() != owner) {
        m_form->setParent(owner, Qt::Window);
    }
    if (!m_form) {
        m_form = new THelpForm(index(), m_directory, owner);
        m_form->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    const bool opening = !m_form->isVisible();
    m_form->show();
    m_form->raise();
    m_form->activateWindow();
    // A window that opens starts in its text, where keys scroll and reach the links.
    if (opening)
        m_form->HelpText->setFocus(Qt::OtherFocusReason);
    return m_form;
}

void HelpController::ShowContents() {
    openWindow()->ShowContents();
}

void HelpController::ShowTopic(const QString& topic) {
    openWindow()->ShowTopic(topic.isEmpty() ? QString(THelpForm::kContentsPage) : topic);
}

QString HelpController::TopicOf(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QVariant context = w->property("helpContext");
        std::string topic = context.isValid() ? index().TopicFor(context.toInt()) : std::string();
        if (topic.empty() && !w->objectName().isEmpty())
            topic = index().TopicFor(w->objectName().toStdString());
        if (!topic.empty())
            return QString::fromStdString(topic);
    }
    return {};
}

void HelpController::ShowContextHelp() {
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        focus = QApplication::activeWindow();
    // Help asked for from the help window itself goes to the contents.
    if (m_form && focus && (focus == m_form || m_form->isAncestorOf(focus))) {
        ShowContents();
        return;
    }
    ShowTopic(TopicOf(focus));
}

void HelpController::ShowHelpTopic(int context, bool popup) {
    const std::string key = std::to_string(context);
    if (popup) {
        const QString summary = QString::fromStdString(index().SummaryFor(key));
        if (!summary.isEmpty()) {
            const QString topic = QString::fromStdString(index().TopicFor(key));
            THintWindow::ShowHint(Escaped(summary) +
                                      QString("<p><a href=\"%1\">More ...</a></p>").arg(topic),
                                  QCursor::pos(), QApplication::activeWindow(),
                                  [this](const QString& link) { ShowTopic(link); });
            return;
        }
    }
    ShowTopic(QString::fromStdString(index().TopicFor(key)));
}

void HelpController::EnterWhatsThisMode() {
    if (!QWhatsThis::inWhatsThisMode())
        QWhatsThis::enterWhatsThisMode();
}

QString HelpController::HintOf(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        for (const QString& hint : {w->whatsThis(), w->toolTip(), w->statusTip()})
            if (!hint.isEmpty())
                return hint;
        if (w->isWindow())
            break;
    }
    return {};
}

bool HelpController::ShowHint(QWidget* widget, const QPoint& globalPos) {
    QString hint = HintOf(widget);
    if (hint.isEmpty())
        return false;
    // The click that asked for the hint ends the "What is this?" mode.
    if (QWhatsThis::inWhatsThisMode())
        QWhatsThis::leaveWhatsThisMode();
    if (!Qt::mightBeRichText(hint))
        hint = Escaped(hint);
    const QString topic = TopicOf(widget);
    if (!topic.isEmpty()) {
        const QString title =
            QString::fromStdString(index().TitleOf(topic.section('#', 0, 0).toStdString()));
        hint += QString("<p><a href=\"%1\">Help: %2</a> (F1)</p>").arg(topic, Escaped(title));
    }
    THintWindow::ShowHint(hint, globalPos, widget->window(),
                          [this](const QString& link) { ShowTopic(link); });
    return true;
}

bool HelpController::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::QueryWhatsThis) {
        // The pointer shows that the control has something to say.
        if (!HintOf(widget).isEmpty()) {
            event->accept();
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::WhatsThis) {
        if (ShowHint(widget, static_cast<QHelpEvent*>(event)->globalPos())) {
            event->accept();
            return true;
        }
    }
    return false;
}

void HelpController::giveHints() {
    for (const AreaHint& area : kAreaHints) {
        QWidget* w = m_window->findChild<QWidget*>(QString::fromLatin1(area.component));
        if (w && w->whatsThis().isEmpty())
            w->setWhatsThis(QString::fromUtf8(area.hint));
    }
}

} // namespace zentrix
