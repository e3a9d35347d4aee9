#include "gui/ops/tcompareform.h"

#include "config/historyboxes.h"
#include "core/prompter.h"
#include "gui/controls/a11y.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/controls/tradiogroup.h"
#include "ops/comparefilelist.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

namespace zentrix {

TCompareForm::TCompareForm(Prompter& prompter, TargetCheck check, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_check(std::move(check)) {
    setObjectName("TCompareForm");
    setWindowTitle("Compare files ...");
    setAccessibleName("Compare files");
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    auto* label = new QLabel("&Target directory:", this);
    NameComponent(label, "lbDir", "Target directory");
    layout->addWidget(label);
    auto* dirRow = new QHBoxLayout;
    if (const HistoryBoxSpec* spec = FindHistoryBox("compare", "hbDir")) {
        // 20 entries kept and 20 rows dropped down, from the first load on.
        hbDir = THistoryComboBox::Create(*spec, this, true);
    } else {
        hbDir = new THistoryComboBox(this);
        NameComponent(hbDir, "hbDir", "Directory to compare with");
    }
    hbDir->setMinimumWidth(320);
    label->setBuddy(hbDir);
    hbDir->installEventFilter(this);
    if (QLineEdit* edit = hbDir->lineEdit())
        edit->installEventFilter(this);
    sbDirBrowse = new QToolButton(this);
    NameComponent(sbDirBrowse, "sbDirBrowse", "Browse for a directory");
    sbDirBrowse->setText("...");
    sbDirBrowse->setToolTip("Browse for a directory (F2)");
    sbDirBrowse->setFocusPolicy(Qt::NoFocus);
    dirRow->addWidget(hbDir, 1);
    dirRow->addWidget(sbDirBrowse);
    layout->addLayout(dirRow);

    rgCompareWhat = new TRadioGroup(
        " Compare what: ",
        {"&Unique filenames", "Same &Filenames only", "Same filenames and &Newer dates",
         "Same filenames and &Exact dates (duplicates)", "Same filenames and &Older dates"},
        this);
    NameComponent(rgCompareWhat, "rgCompareWhat", "Compare what");
    rgCompareWhat->SetItemIndex(0);
    layout->addWidget(rgCompareWhat);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    btnRun = new QPushButton("&Run", this);
    NameComponent(btnRun, "btnRun", "Run");
    btnRun->setDefault(true);
    btnCancel = NamedButton("btnCancel", "&Cancel", this);
    btnHelp = NamedButton("btnHelp", "&Help", this);
    buttons->addWidget(btnRun);
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnHelp);
    layout->addLayout(buttons);

    connect(btnRun, &QPushButton::clicked, this, &TCompareForm::btnRunClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHelp, &QPushButton::clicked, this, [this] {
        if (showHelp)
            showHelp(kHelpContext);
    });
    connect(sbDirBrowse, &QToolButton::clicked, this, &TCompareForm::sbDirBrowseClick);
    hbDir->setFocus();
}

TCompareForm::~TCompareForm() = default;

int TCompareForm::relation() const {
    return rgCompareWhat->ItemIndex();
}

void TCompareForm::btnRunClick() {
    const std::string text = hbDir->currentText().toStdString();
    const TypedDirectory target = text.empty() ? TypedDirectory{} : m_check(text);
    if (!target.path) {
        m_prompter.errorWith(CompareFileList::kInvalidDirectory, target.problem);
        if (QLineEdit* edit = hbDir->lineEdit())
            edit->selectAll();
        hbDir->setFocus();
        return;
    }
    m_target = *target.path;
    hbDir->Save();
    accept();
}

void TCompareForm::sbDirBrowseClick() {
    if (!m_chooseFolder)
        return;
    const QString chosen = m_chooseFolder(hbDir->currentText());
    if (!chosen.isEmpty())
        hbDir->setEditText(chosen);
    hbDir->setFocus();
}

bool TCompareForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == hbDir || watched == hbDir->lineEdit())) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F2 && key->modifiers() == Qt::NoModifier) {
            sbDirBrowseClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TCompareForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred on the screen, not over the window.
    if (QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace zentrix
