#include "gui/help/thelpform.h"

#include "core/helpindex.h"
#include "gui/controls/a11y.h"

#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace zentrix {

namespace {

constexpr int kFileRole = Qt::UserRole;

QToolButton* Button(QWidget* parent, const char* name, const QString& caption,
                    const QString& accessible, const QKeySequence& key, const QString& hint) {
    auto* button = new QToolButton(parent);
    NameComponent(button, name, accessible);
    button->setText(caption);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    if (!key.isEmpty())
        button->setShortcut(key);
    button->setToolTip(hint);
    return button;
}

} // namespace

THelpForm::THelpForm(const HelpIndex& index, const QString& directory, QWidget* parent)
    : QMainWindow(parent, Qt::Window), m_index(index), m_directory(directory) {
    // Heard by its title, which names the topic shown.
    NameComponent(this, "HelpWindow", QString());
    setWindowTitle("Zentrix Help");
    resize(760, 560);

    auto* client = new QWidget(this);
    NameComponent(client, "HelpClient", "Zentrix Help");
    setCentralWidget(client);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* bar = new QHBoxLayout;
    btnContents = Button(client, "btnContents", "&Contents", "Contents", QKeySequence(),
                         "The list of all help topics");
    btnBack = Button(client, "btnBack", "&Back", "Back", QKeySequence(Qt::ALT | Qt::Key_Left),
                     "The topic shown before (Alt+Left)");
    btnForward = Button(client, "btnForward", "&Forward", "Forward",
                        QKeySequence(Qt::ALT | Qt::Key_Right), "The next topic again (Alt+Right)");
    auto* searchLabel = new QLabel("&Search:", client);
    edSearch = new QLineEdit(client);
    NameComponent(edSearch, "edSearch", "Search the help");
    edSearch->setPlaceholderText("Words to find in all topics");
    edSearch->setClearButtonEnabled(true);
    edSearch->setToolTip("Lists the topics that contain all these words (Ctrl+F)");
    searchLabel->setBuddy(edSearch);
    bar->addWidget(btnContents);
    bar->addWidget(btnBack);
    bar->addWidget(btnForward);
    bar->addSpacing(12);
    bar->addWidget(searchLabel);
    bar->addWidget(edSearch, 1);
    layout->addLayout(bar);

    m_split = new QSplitter(Qt::Horizontal, client);
    NameComponent(m_split, "scHelp", "Search results and topic");
    lbResults = new QListWidget(m_split);
    NameComponent(lbResults, "lbResults", "Topics found");
    lbResults->hide();
    HelpText = new QTextBrowser(m_split);
    NameComponent(HelpText, "HelpText", "Help topic");
    HelpText->setOpenExternalLinks(true);
    HelpText->setSearchPaths({directory});
    m_split->addWidget(lbResults);
    m_split->addWidget(HelpText);
    m_split->setStretchFactor(1, 1);
    m_split->setSizes({220, 540});
    layout->addWidget(m_split, 1);

    auto* find = new QAction(this);
    find->setShortcut(QKeySequence::Find);
    addAction(find);
    connect(find, &QAction::triggered, this, [this] {
        edSearch->setFocus(Qt::ShortcutFocusReason);
        edSearch->selectAll();
    });
    connect(btnContents, &QToolButton::clicked, this, &THelpForm::ShowContents);
    connect(btnBack, &QToolButton::clicked, HelpText, &QTextBrowser::backward);
    connect(btnForward, &QToolButton::clicked, HelpText, &QTextBrowser::forward);
    connect(HelpText, &QTextBrowser::backwardAvailable, btnBack, &QToolButton::setEnabled);
    connect(HelpText, &QTextBrowser::forwardAvailable, btnForward, &QToolButton::setEnabled);
    connect(HelpText, &QTextBrowser::sourceChanged, this, [this](const QUrl& source) {
        updateTitle(QFileInfo(source.toLocalFile()).fileName());
    });
    connect(edSearch, &QLineEdit::textChanged, this, &THelpForm::Search);
    connect(edSearch, &QLineEdit::returnPressed, this, [this] {
        if (lbResults->count() > 0 && (lbResults->item(0)->flags() & Qt::ItemIsEnabled))
            openResult(lbResults->item(0));
    });
    connect(lbResults, &QListWidget::itemActivated, this, &THelpForm::openResult);
    connect(lbResults, &QListWidget::itemClicked, this, &THelpForm::openResult);
    btnBack->setEnabled(false);
    btnForward->setEnabled(false);
    NameInternalParts(this);
}

void THelpForm::ShowTopic(const QString& topic) {
    const qsizetype hash = topic.indexOf('#');
    const QString file = hash < 0 ? topic : topic.left(hash);
    const QString path = QDir(m_directory).filePath(file.isEmpty() ? kContentsPage : file);
    QUrl url = QUrl::fromLocalFile(path);
    if (hash >= 0)
        url.setFragment(topic.mid(hash + 1));
    if (!QFileInfo::exists(path)) {
        HelpText->setHtml(QString("<h1>Zentrix Help</h1><p>The help topic %1 is not in %2.</p>")
                              .arg(file.toHtmlEscaped(), m_directory.toHtmlEscaped()));
        updateTitle(QString());
        return;
    }
    HelpText->setSource(url);
}

void THelpForm::ShowContents() {
    ShowTopic(kContentsPage);
}

void THelpForm::Search(const QString& words) {
    if (edSearch->text() != words) {
        edSearch->setText(words); // comes back here through textChanged
        return;
    }
    m_searchWords = words.simplified();
    lbResults->clear();
    if (m_searchWords.isEmpty()) {
        lbResults->hide();
        return;
    }
    lbResults->show();
    const std::vector<HelpHit> hits = m_index.Search(m_searchWords.toStdString());
    for (const HelpHit& hit : hits) {
        auto* item = new QListWidgetItem(QString::fromStdString(hit.title), lbResults);
        item->setData(kFileRole, QString::fromStdString(hit.file));
        item->setToolTip(QString::fromStdString(hit.excerpt));
    }
    if (hits.empty()) {
        auto* none = new QListWidgetItem("No topic holds all these words.", lbResults);
        none->setFlags(Qt::NoItemFlags);
    }
}

void THelpForm::openResult(QListWidgetItem* item) {
    if (!item || !(item->flags() & Qt::ItemIsEnabled))
        return;
    ShowTopic(item->data(kFileRole).toString());
    // The first place the first word occurs is selected and scrolled to.
    const QString first = m_searchWords.section(' ', 0, 0);
    if (!first.isEmpty()) {
        HelpText->moveCursor(QTextCursor::Start);
        HelpText->find(first);
    }
}

QString THelpForm::currentTopic() const {
    const QUrl source = HelpText->source();
    return source.isEmpty() ? QString() : QFileInfo(source.toLocalFile()).fileName();
}

QString THelpForm::currentAnchor() const {
    return HelpText->source().fragment();
}

void THelpForm::updateTitle(const QString& file) {
    const QString title = QString::fromStdString(m_index.TitleOf(file.toStdString()));
    setWindowTitle(title.isEmpty() ? QString("Zentrix Help") : "Zentrix Help - " + title);
    // Qt does not tell assistive tools of a new window title.
    if (QAccessible::isActive()) {
        QAccessibleEvent named(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&named);
    }
}

void THelpForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

} // namespace zentrix
