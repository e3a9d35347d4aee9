#include "gui/search/tfinderpage.h"

#include "config/historyboxes.h"
#include "gui/controls/a11y.h"
#include "gui/controls/thistorycombobox.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace zentrix {
namespace {

THistoryComboBox* historyBox(const char* name, const QString& accessible, QWidget* parent) {
    if (const HistoryBoxSpec* spec = FindHistoryBox(kMainWindow, name))
        return THistoryComboBox::Create(*spec, parent, true);
    auto* box = new THistoryComboBox(parent);
    NameComponent(box, name, accessible);
    return box;
}

} // namespace

TFinderPage::TFinderPage(QWidget* parent) : QWidget(parent) {
    NameComponent(this, "tsFinder", "Finder page");
    // The page shares the tree's panel, which the user may make small: what
    // it holds must not set the panel's least height (the file window below
    // keeps its rows).
    setMinimumSize(1, 1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(2, 2, 2, 2);
    scFinder = new QSplitter(Qt::Vertical, this);
    NameComponent(scFinder, "scFinder", "Options and results splitter");
    outer->addWidget(scFinder);

    pnFindOptions = new QWidget(scFinder);
    NameComponent(pnFindOptions, "pnFindOptions", "Find options");
    auto* grid = new QGridLayout(pnFindOptions);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(2);

    auto* dirLabel = new QLabel("&Directories:", pnFindOptions);
    hcbFindStartDir = historyBox("hcbFindStartDir", "Start directory", pnFindOptions);
    dirLabel->setBuddy(hcbFindStartDir);
    sbBrowseFindStartDir = new QToolButton(pnFindOptions);
    NameComponent(sbBrowseFindStartDir, "sbBrowseFindStartDir", "Browse for the start directory");
    sbBrowseFindStartDir->setText("...");
    sbBrowseFindStartDir->setToolTip("Choose the start directory (F2)");
    grid->addWidget(dirLabel, 0, 0);
    grid->addWidget(hcbFindStartDir, 0, 1);
    grid->addWidget(sbBrowseFindStartDir, 0, 2);

    auto* patternLabel = new QLabel("&Patterns:", pnFindOptions);
    hcbFindPatterns = historyBox("hcbFindPatterns", "File patterns", pnFindOptions);
    patternLabel->setBuddy(hcbFindPatterns);
    sbBrowseFindPatterns = new QToolButton(pnFindOptions);
    NameComponent(sbBrowseFindPatterns, "sbBrowseFindPatterns", "Extended file patterns");
    sbBrowseFindPatterns->setText("...");
    sbBrowseFindPatterns->setToolTip("Build the patterns from file types (F2)");
    grid->addWidget(patternLabel, 1, 0);
    grid->addWidget(hcbFindPatterns, 1, 1);
    grid->addWidget(sbBrowseFindPatterns, 1, 2);

    auto* matchRow = new QHBoxLayout;
    cbMatchEnable = new QCheckBox("Match &Enable", pnFindOptions);
    NameComponent(cbMatchEnable, "cbMatchEnable", "Match enable");
    hcbFindMatchString = historyBox("hcbFindMatchString", "Text to find", pnFindOptions);
    matchRow->addWidget(cbMatchEnable);
    matchRow->addWidget(hcbFindMatchString, 1);
    grid->addLayout(matchRow, 2, 0, 1, 3);

    auto* switches = new QHBoxLayout;
    cbFindRecursive = new QCheckBox("&Recurse", pnFindOptions);
    NameComponent(cbFindRecursive, "cbFindRecursive", "Recurse");
    cbFindRecursive->setChecked(true);
    cbMatchCaseSensitive = new QCheckBox("Match &case", pnFindOptions);
    NameComponent(cbMatchCaseSensitive, "cbMatchCaseSensitive", "Match case");
    cbFindTurbo = new QCheckBox("&Turbo", pnFindOptions);
    NameComponent(cbFindTurbo, "cbFindTurbo", "Turbo");
    btnFindFile = new QPushButton("&Find", pnFindOptions);
    NameComponent(btnFindFile, "btnFindFile", "Find");
    btnFindFile->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    switches->addWidget(cbFindRecursive);
    switches->addWidget(cbMatchCaseSensitive);
    switches->addWidget(cbFindTurbo);
    switches->addStretch(1);
    switches->addWidget(btnFindFile);
    grid->addLayout(switches, 3, 0, 1, 3);

    dlbFindDisks = new QListWidget(pnFindOptions);
    NameComponent(dlbFindDisks, "dlbFindDisks", "Disks to search");
    dlbFindDisks->setSelectionMode(QAbstractItemView::MultiSelection);
    dlbFindDisks->setMaximumWidth(60);
    grid->addWidget(dlbFindDisks, 0, 3, 4, 1);
    grid->setColumnStretch(1, 1);

    CurrFileFindDirLabel = new QLabel(pnFindOptions);
    NameValueLabel(CurrFileFindDirLabel, "CurrFileFindDirLabel", "Searching in");
    CurrFileFindDirLabel->setFrameShape(QFrame::StyledPanel);
    CurrFileFindDirLabel->setMinimumWidth(10);
    CurrFileFindDirLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    grid->addWidget(CurrFileFindDirLabel, 4, 0, 1, 4);

    auto* results = new QWidget(scFinder);
    NameComponent(results, "pnFindResults", "Find results");
    auto* resultsLayout = new QVBoxLayout(results);
    resultsLayout->setContentsMargins(0, 0, 0, 0);
    resultsLayout->setSpacing(2);
    lbFindResults = new QListWidget(results);
    NameComponent(lbFindResults, "lbFindResults", "Files found");
    lbFindResults->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lbFindResults->setUniformItemSizes(true); // thousands of results lay out at once
    resultsLayout->addWidget(lbFindResults, 1);
    auto* bottom = new QHBoxLayout;
    auto* countCaption = new QLabel("Files found:", results);
    lbFindCount = new QLabel("0", results);
    NameComponent(lbFindCount, "lbFindCount", "Files found: 0");
    btnFindFillResults = new QPushButton("Show in file &window", results);
    NameComponent(btnFindFillResults, "btnFindFillResults",
                  "Show the files found in the file window");
    bottom->addWidget(countCaption);
    bottom->addWidget(lbFindCount);
    bottom->addStretch(1);
    bottom->addWidget(btnFindFillResults);
    resultsLayout->addLayout(bottom);
    scFinder->addWidget(pnFindOptions);
    scFinder->addWidget(results);
    scFinder->setStretchFactor(1, 1);

    connect(scFinder, &QSplitter::splitterMoved, this, [this] {
        QList<int> sizes = scFinder->sizes();
        if (sizes.size() == 2 && sizes[0] > kMaxOptionsHeight) {
            sizes[1] += sizes[0] - kMaxOptionsHeight;
            sizes[0] = kMaxOptionsHeight;
            scFinder->setSizes(sizes);
        }
    });
    connect(lbFindResults, &QListWidget::itemDoubleClicked, this,
            [this] { emit resultOpenRequested(); });

    for (THistoryComboBox* box : {hcbFindStartDir, hcbFindPatterns, hcbFindMatchString}) {
        box->installEventFilter(this);
        if (QLineEdit* edit = box->lineEdit())
            edit->installEventFilter(this);
    }
    dlbFindDisks->viewport()->installEventFilter(this);
    lbFindResults->installEventFilter(this);
    lbFindResults->viewport()->installEventFilter(this);
}

void TFinderPage::setDirectoryText(const QString& text) {
    CurrFileFindDirLabel->setText(text);
    CurrFileFindDirLabel->setAccessibleName(text);
}

void TFinderPage::setCountText(const QString& text) {
    lbFindCount->setText(text);
    lbFindCount->setAccessibleName("Files found: " + text);
}

QStringList TFinderPage::selectedResults() const {
    QStringList out;
    for (int i = 0; i < lbFindResults->count(); ++i)
        if (lbFindResults->item(i)->isSelected())
            out << lbFindResults->item(i)->text();
    return out;
}

bool TFinderPage::eventFilter(QObject* watched, QEvent* event) {
    auto boxOf = [&](QObject* o) -> THistoryComboBox* {
        for (THistoryComboBox* box : {hcbFindStartDir, hcbFindPatterns, hcbFindMatchString})
            if (o == box || o == box->lineEdit())
                return box;
        return nullptr;
    };
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        THistoryComboBox* box = boxOf(watched);
        if (key->key() == Qt::Key_F2 && box == hcbFindStartDir) {
            emit browseStartDirRequested();
            return true;
        }
        if (key->key() == Qt::Key_F2 && box == hcbFindPatterns) {
            emit browsePatternsRequested();
            return true;
        }
        if (box && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            !(key->modifiers() & ~Qt::KeypadModifier) && !box->view()->isVisible()) {
            emit findRequested(box);
            return true;
        }
        if (watched == lbFindResults && key->modifiers() == Qt::NoModifier) {
            if (key->key() == Qt::Key_X) {
                emit resultOpenRequested();
                return true;
            }
            if (key->key() == Qt::Key_V || key->key() == Qt::Key_F3) {
                emit resultViewRequested();
                return true;
            }
        }
        break;
    }
    case QEvent::FocusOut:
        if (THistoryComboBox* box = boxOf(watched); box && watched == box->lineEdit())
            emit boxLeft(box);
        else if (box && !box->lineEdit())
            emit boxLeft(box);
        break;
    case QEvent::MouseButtonRelease:
        if (watched == dlbFindDisks->viewport() &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            emit disksReleased();
        break;
    case QEvent::MouseMove:
        if (watched == lbFindResults->viewport() && m_dragArmed) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if ((mouse->buttons() & Qt::LeftButton) &&
                (mouse->position().toPoint() - m_pressPos).manhattanLength() >=
                    QApplication::startDragDistance() &&
                !lbFindResults->selectedItems().isEmpty()) {
                m_dragArmed = false;
                emit resultsDragRequested();
                return true;
            }
        }
        break;
    case QEvent::MouseButtonPress:
        if (watched == lbFindResults->viewport()) {
            m_dragArmed = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
            m_pressPos = static_cast<QMouseEvent*>(event)->position().toPoint();
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zentrix
