#include "gui/tagging/ttagwizardform.h"

#include "config/historyboxes.h"
#include "config/settingsstore.h"
#include "gui/controls/a11y.h"
#include "gui/controls/tenhheadercontrol.h"
#include "gui/controls/thistorycombobox.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace zentrix {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}
std::string s(const QString& text) {
    return text.toStdString();
}

// The wizard keeps more history than the table's design length.
constexpr int kHistoryLength = 15;
constexpr const char* kWindow = "tag wizard";

QStringList columnTexts(const std::string& line) {
    const CriterionColumns c = DisplayColumns(TagCriterion::Parse(line));
    return {q(c.directory), q(c.recurse), q(c.fileSpec), q(c.age), q(c.size)};
}

/// Draws a criterion in the five columns of the header above the list.
class CriterionDelegate : public QStyledItemDelegate {
public:
    CriterionDelegate(QHeaderView* header, QObject* parent)
        : QStyledItemDelegate(parent), m_header(header) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QStringList columns = columnTexts(s(index.data(Qt::UserRole).toString()));
        opt.text.clear();
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : nullptr;
        if (style)
            style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        painter->save();
        painter->setPen(opt.palette.color(
            opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        // Each column starts 2 pixels right of the previous column's right edge.
        for (int i = 0; i < columns.size() && i < m_header->count(); ++i) {
            const int left = m_header->sectionViewportPosition(i) + 2;
            const QRect r(opt.rect.left() + left, opt.rect.top(), m_header->sectionSize(i) - 2,
                          opt.rect.height());
            painter->drawText(r, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                              opt.fontMetrics.elidedText(columns[i], Qt::ElideRight, r.width()));
        }
        painter->restore();
    }

private:
    QHeaderView* m_header;
};

QCheckBox* checkBox(const char* name, const QString& caption, QWidget* parent) {
    auto* b = new QCheckBox(caption, parent);
    NameComponent(b, name, QString(caption).remove('&'));
    return b;
}

QToolButton* ellipsis(const char* name, const QString& accessible, QWidget* parent) {
    auto* b = new QToolButton(parent);
    NameComponent(b, name, accessible);
    b->setText("...");
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace

TTagWizardForm::TTagWizardForm(TEnhIniFile& store, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_model(std::make_unique<TagWizard>(store, prompter)) {
    setObjectName("TTagWizardForm");
    setWindowTitle("Tag Wizard");
    setAccessibleName("Tag Wizard");
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    pcWizard = new QTabWidget(this);
    NameComponent(pcWizard, "pcWizard", "Tag wizard pages");
    layout->addWidget(pcWizard);
    buildSettingsPage();
    buildTemplatesPage();

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
    connect(btnRun, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHelp, &QPushButton::clicked, this, &TTagWizardForm::btnHelpClick);

    // Opening: the header's widths, the templates (the first selected), every
    // condition unchecked and its panel disabled.
    TEnhHeaderControl::RestoreWidths(hdrCriteria, "hdrCriteria", q(SettingsIniName()));
    showTemplates();
    showCriteria();
    updatePanels();
    hbDir->setFocus();
}

TTagWizardForm::~TTagWizardForm() = default;

THistoryComboBox* TTagWizardForm::historyBox(const char* control, QWidget* parent) {
    THistoryComboBox* box = nullptr;
    if (const HistoryBoxSpec* spec = FindHistoryBox(kWindow, control)) {
        box = THistoryComboBox::Create(*spec, parent, false);
        box->setMaxHistoryLength(kHistoryLength);
        box->Load();
    } else {
        box = new THistoryComboBox(parent);
        NameComponent(box, control, control);
    }
    box->setMaxVisibleItems(kHistoryLength);
    box->setEditText(QString());
    // A box that loses the focus with text in it adds the text to its history.
    connect(box, &TEnhComboBox::OnFocusLost, box, [box] {
        if (!box->currentText().isEmpty())
            box->Save();
    });
    box->installEventFilter(this);
    if (QLineEdit* edit = box->lineEdit())
        edit->installEventFilter(this);
    return box;
}

void TTagWizardForm::buildSettingsPage() {
    tsSettings = new QWidget;
    NameComponent(tsSettings, "tsSettings", "Settings");
    auto* page = new QVBoxLayout(tsSettings);

    auto* dirRow = new QHBoxLayout;
    auto* lbDir = new QLabel("Direc&tory:", tsSettings);
    NameComponent(lbDir, "lbDir", "Directory");
    hbDir = historyBox("hbDir", tsSettings);
    hbDir->setMinimumWidth(260);
    lbDir->setBuddy(hbDir);
    sbDirBrowse = ellipsis("sbDirBrowse", "Browse for a directory", tsSettings);
    cbRecurseDir = checkBox("cbRecurseDir", "Rec&urse", tsSettings);
    cbRecurseDir->setToolTip("Check if Tag wizard should scan all subdirectories");
    dirRow->addWidget(lbDir);
    dirRow->addWidget(hbDir, 1);
    dirRow->addWidget(sbDirBrowse);
    dirRow->addWidget(cbRecurseDir);
    page->addLayout(dirRow);

    // The three conditions, each a check box enabling its panel.
    auto* specRow = new QHBoxLayout;
    cbFileSpec = checkBox("cbFileSpec", "Use &file spec", tsSettings);
    pnFileSpec = new QWidget(tsSettings);
    NameComponent(pnFileSpec, "pnFileSpec", "File specification condition");
    auto* specPanel = new QHBoxLayout(pnFileSpec);
    specPanel->setContentsMargins(0, 0, 0, 0);
    hbFileSpec = historyBox("hbFileSpec", pnFileSpec);
    hbFileSpec->setToolTip("Enter file specification that files must match to be tagged");
    sbExtFSpec = ellipsis("sbExtFSpec", "Extended file specification", pnFileSpec);
    cbFileSpecInvert = checkBox("cbFileSpecInvert", "I&nvert", pnFileSpec);
    cbFileSpecInvert->setToolTip(
        "Check if Tag wizard should EXCLUDE files that match the file specification");
    specPanel->addWidget(hbFileSpec, 1);
    specPanel->addWidget(sbExtFSpec);
    specPanel->addWidget(cbFileSpecInvert);
    specRow->addWidget(cbFileSpec);
    specRow->addWidget(pnFileSpec, 1);
    page->addLayout(specRow);

    auto* ageRow = new QHBoxLayout;
    cbFileAge = checkBox("cbFileAge", "Use file a&ge", tsSettings);
    pnFileAge = new QWidget(tsSettings);
    NameComponent(pnFileAge, "pnFileAge", "File age condition");
    auto* agePanel = new QHBoxLayout(pnFileAge);
    agePanel->setContentsMargins(0, 0, 0, 0);
    rbNewer = new QRadioButton("Newer than", pnFileAge);
    NameComponent(rbNewer, "rbNewer", "Newer than");
    rbOlder = new QRadioButton("Older than", pnFileAge);
    NameComponent(rbOlder, "rbOlder", "Older than");
    rbNewer->setChecked(true);
    hbFileAge = historyBox("hbFileAge", pnFileAge);
    auto* days = new QLabel("days", pnFileAge);
    NameComponent(days, "lbDays", "days");
    agePanel->addWidget(rbNewer);
    agePanel->addWidget(rbOlder);
    agePanel->addWidget(hbFileAge, 1);
    agePanel->addWidget(days);
    ageRow->addWidget(cbFileAge);
    ageRow->addWidget(pnFileAge, 1);
    page->addLayout(ageRow);

    auto* sizeRow = new QHBoxLayout;
    cbFileSize = checkBox("cbFileSize", "Use file si&ze", tsSettings);
    pnFileSize = new QWidget(tsSettings);
    NameComponent(pnFileSize, "pnFileSize", "File size condition");
    auto* sizePanel = new QHBoxLayout(pnFileSize);
    sizePanel->setContentsMargins(0, 0, 0, 0);
    rbSmaller = new QRadioButton("Smaller than", pnFileSize);
    NameComponent(rbSmaller, "rbSmaller", "Smaller than");
    rbLarger = new QRadioButton("Larger than", pnFileSize);
    NameComponent(rbLarger, "rbLarger", "Larger than");
    rbSmaller->setChecked(true);
    hbFileSize = historyBox("hbFileSize", pnFileSize);
    auto* kbytes = new QLabel("Kbytes", pnFileSize);
    NameComponent(kbytes, "lbKbytes", "Kbytes");
    sizePanel->addWidget(rbSmaller);
    sizePanel->addWidget(rbLarger);
    sizePanel->addWidget(hbFileSize, 1);
    sizePanel->addWidget(kbytes);
    sizeRow->addWidget(cbFileSize);
    sizeRow->addWidget(pnFileSize, 1);
    page->addLayout(sizeRow);

    gbCriteria = new QGroupBox(" Criteria ", tsSettings);
    NameComponent(gbCriteria, "gbCriteria", "Criteria");
    auto* group = new QHBoxLayout(gbCriteria);
    auto* listColumn = new QVBoxLayout;
    listColumn->setSpacing(0);
    hdrCriteria = new TEnhHeaderControl(gbCriteria);
    NameComponent(hdrCriteria, "hdrCriteria", "Criteria columns");
    auto* headerModel = new QStandardItemModel(0, 5, hdrCriteria);
    headerModel->setHorizontalHeaderLabels({"Directory", "Rec", "Filespec", "Age", "Size"});
    hdrCriteria->setModel(headerModel);
    hdrCriteria->setSectionsClickable(false);
    hdrCriteria->setSectionResizeMode(QHeaderView::Interactive);
    hdrCriteria->setStretchLastSection(false);
    const int widths[] = {120, 35, 100, 100, 100};
    for (int i = 0; i < 5; ++i)
        hdrCriteria->resizeSection(i, widths[i]);
    lbCriteria = new QListWidget(gbCriteria);
    NameComponent(lbCriteria, "lbCriteria", "Criteria");
    lbCriteria->setItemDelegate(new CriterionDelegate(hdrCriteria, lbCriteria));
    lbCriteria->setMinimumSize(460, 140);
    connect(hdrCriteria, &QHeaderView::sectionResized, lbCriteria->viewport(),
            [this] { lbCriteria->viewport()->update(); });
    listColumn->addWidget(hdrCriteria);
    listColumn->addWidget(lbCriteria, 1);
    group->addLayout(listColumn, 1);
    auto* criteriaButtons = new QVBoxLayout;
    btnAdd = NamedButton("btnAdd", "&Add", gbCriteria);
    btnDelete = NamedButton("btnDelete", "&Delete", gbCriteria);
    btnModify = NamedButton("btnModify", "&Modify", gbCriteria);
    btnClear = NamedButton("btnClear", "C&lear", gbCriteria);
    for (QPushButton* b : {btnAdd, btnDelete, btnModify, btnClear})
        criteriaButtons->addWidget(b);
    criteriaButtons->addStretch(1);
    group->addLayout(criteriaButtons);
    page->addWidget(gbCriteria, 1);

    pcWizard->addTab(tsSettings, "&Settings");

    connect(cbFileSpec, &QCheckBox::toggled, this, &TTagWizardForm::updatePanels);
    connect(cbFileAge, &QCheckBox::toggled, this, &TTagWizardForm::updatePanels);
    connect(cbFileSize, &QCheckBox::toggled, this, &TTagWizardForm::updatePanels);
    connect(btnAdd, &QPushButton::clicked, this, &TTagWizardForm::btnAddClick);
    connect(btnDelete, &QPushButton::clicked, this, &TTagWizardForm::btnDeleteClick);
    connect(btnModify, &QPushButton::clicked, this, &TTagWizardForm::btnModifyClick);
    connect(btnClear, &QPushButton::clicked, this, &TTagWizardForm::btnClearClick);
    connect(lbCriteria, &QListWidget::itemClicked, this, &TTagWizardForm::lbCriteriaClick);
    connect(lbCriteria, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row != m_model->SelectedCriterion())
            lbCriteriaClick();
    });
    connect(sbDirBrowse, &QToolButton::clicked, this, &TTagWizardForm::sbDirBrowseClick);
    connect(sbExtFSpec, &QToolButton::clicked, this, &TTagWizardForm::sbExtFSpecClick);
}

void TTagWizardForm::buildTemplatesPage() {
    tsTemplates = new QWidget;
    NameComponent(tsTemplates, "tsTemplates", "Templates");
    auto* page = new QHBoxLayout(tsTemplates);
    auto* left = new QVBoxLayout;
    auto* lbName = new QLabel("Template &name:", tsTemplates);
    NameComponent(lbName, "lbTemplateName", "Template name");
    edTemplateName = new QLineEdit(tsTemplates);
    NameComponent(edTemplateName, "edTemplateName", "Template name");
    lbName->setBuddy(edTemplateName);
    auto* lbList = new QLabel("T&emplates:", tsTemplates);
    NameComponent(lbList, "lbTemplatesLabel", "Templates");
    lbTemplates = new QListWidget(tsTemplates);
    NameComponent(lbTemplates, "lbTemplates", "Templates");
    lbList->setBuddy(lbTemplates);
    left->addWidget(lbName);
    left->addWidget(edTemplateName);
    left->addWidget(lbList);
    left->addWidget(lbTemplates, 1);
    page->addLayout(left, 1);
    auto* right = new QVBoxLayout;
    btnTemplLoad = NamedButton("btnTemplLoad", "&Load", tsTemplates);
    btnTemplAdd = NamedButton("btnTemplAdd", "&Add", tsTemplates);
    btnTemplDelete = NamedButton("btnTemplDelete", "&Delete", tsTemplates);
    btnTemplApply = NamedButton("btnTemplApply", "A&pply", tsTemplates);
    for (QPushButton* b : {btnTemplLoad, btnTemplAdd, btnTemplDelete, btnTemplApply})
        right->addWidget(b);
    right->addStretch(1);
    page->addLayout(right);
    pcWizard->addTab(tsTemplates, "&Templates");

    connect(btnTemplLoad, &QPushButton::clicked, this, &TTagWizardForm::btnTemplLoadClick);
    connect(btnTemplAdd, &QPushButton::clicked, this, &TTagWizardForm::btnTemplAddClick);
    connect(btnTemplDelete, &QPushButton::clicked, this, &TTagWizardForm::btnTemplDeleteClick);
    connect(btnTemplApply, &QPushButton::clicked, this, &TTagWizardForm::btnTemplApplyClick);
    connect(lbTemplates, &QListWidget::currentRowChanged, this,
            [this](int row) { m_model->SelectTemplate(row); });
    connect(lbTemplates, &QListWidget::itemDoubleClicked, this, &TTagWizardForm::btnTemplLoadClick);
}

void TTagWizardForm::setPathForms(ToHost toHost, ToCatalogue toCatalogue) {
    m_toHost = std::move(toHost);
    m_toCatalogue = std::move(toCatalogue);
}

void TTagWizardForm::setDrives(const platform::DriveTable& drives) {
    m_model->SetDrives(&drives);
}

void TTagWizardForm::updatePanels() {
    pnFileSpec->setEnabled(cbFileSpec->isChecked());
    pnFileAge->setEnabled(cbFileAge->isChecked());
    pnFileSize->setEnabled(cbFileSize->isChecked());
}

CriterionFields TTagWizardForm::fields() const {
    CriterionFields f;
    f.directory = s(hbDir->currentText());
    f.recurse = cbRecurseDir->isChecked();
    f.useFileSpec = cbFileSpec->isChecked();
    f.fileSpec = s(hbFileSpec->currentText());
    f.invert = cbFileSpecInvert->isChecked();
    f.useAge = cbFileAge->isChecked();
    f.age = s(hbFileAge->currentText());
    f.olderThan = rbOlder->isChecked();
    f.useSize = cbFileSize->isChecked();
    f.size = s(hbFileSize->currentText());
    f.largerThan = rbLarger->isChecked();
    return f;
}

void TTagWizardForm::showFields(const CriterionFields& f) {
    hbDir->setEditText(q(f.directory));
    cbRecurseDir->setChecked(f.recurse);
    cbFileSpec->setChecked(f.useFileSpec);
    hbFileSpec->setEditText(q(f.fileSpec));
    cbFileSpecInvert->setChecked(f.invert);
    cbFileAge->setChecked(f.useAge);
    hbFileAge->setEditText(q(f.age));
    (f.olderThan ? rbOlder : rbNewer)->setChecked(true);
    cbFileSize->setChecked(f.useSize);
    hbFileSize->setEditText(q(f.size));
    (f.largerThan ? rbLarger : rbSmaller)->setChecked(true);
    updatePanels();
}

void TTagWizardForm::showCriteria() {
    const QSignalBlocker block(lbCriteria);
    lbCriteria->clear();
    for (const std::string& line : m_model->Criteria()) {
        auto* item = new QListWidgetItem(lbCriteria);
        item->setData(Qt::UserRole, q(line));
        // What a screen reader says: the columns as they are drawn.
        item->setText(columnTexts(line).filter(QRegularExpression(".")).join(", "));
    }
    lbCriteria->setCurrentRow(m_model->SelectedCriterion());
}

void TTagWizardForm::showTemplates() {
    const QSignalBlocker block(lbTemplates);
    lbTemplates->clear();
    for (const TTemplateClass& t : m_model->Templates().Items)
        lbTemplates->addItem(q(t.Name));
    lbTemplates->setCurrentRow(m_model->SelectedTemplate());
}

// --- criteria --------------------------------------------------------------------------

void TTagWizardForm::btnAddClick() {
    m_model->Add(fields());
    showCriteria();
}

void TTagWizardForm::btnModifyClick() {
    m_model->Modify(fields());
    showCriteria();
}

void TTagWizardForm::btnDeleteClick() {
    m_model->Delete();
    showCriteria();
}

void TTagWizardForm::btnClearClick() {
    m_model->Clear();
    showCriteria();
}

void TTagWizardForm::lbCriteriaClick() {
    if (const auto f = m_model->SelectCriterion(lbCriteria->currentRow(), fields()))
        showFields(*f);
}

// --- templates ---------------------------------------------------------------------------

void TTagWizardForm::btnTemplLoadClick() {
    m_model->SelectTemplate(lbTemplates->currentRow());
    const auto name = m_model->LoadTemplate();
    if (!name)
        return;
    edTemplateName->setText(q(*name));
    showCriteria();
    if (const auto f = m_model->SelectCriterion(0, fields()))
        showFields(*f);
}

void TTagWizardForm::btnTemplAddClick() {
    if (m_model->AddTemplate(s(edTemplateName->text())))
        showTemplates();
}

void TTagWizardForm::btnTemplApplyClick() {
    m_model->SelectTemplate(lbTemplates->currentRow());
    if (m_model->ApplyTemplate(s(edTemplateName->text())))
        showTemplates();
}

void TTagWizardForm::btnTemplDeleteClick() {
    m_model->SelectTemplate(lbTemplates->currentRow());
    m_model->DeleteTemplate();
    showTemplates();
}

// --- browsing, help -----------------------------------------------------------------------

void TTagWizardForm::sbDirBrowseClick() {
    if (!m_chooseFolder)
        return;
    const std::string typed = s(hbDir->currentText());
    std::optional<std::string> start = m_toHost ? m_toHost(typed) : std::nullopt;
    const QString chosen = m_chooseFolder(start ? q(*start) : QString());
    if (chosen.isEmpty())
        return;
    const auto path = m_toCatalogue ? m_toCatalogue(s(chosen)) : std::nullopt;
    hbDir->setEditText(path ? q(*path) : chosen);
    hbDir->setFocus();
}

void TTagWizardForm::sbExtFSpecClick() {
    hbFileSpec->setFocus();
    if (!m_extendedSpec)
        return;
    if (const auto spec = m_extendedSpec(s(hbFileSpec->currentText())))
        hbFileSpec->setEditText(q(*spec));
}

void TTagWizardForm::btnHelpClick() {
    if (showHelp)
        showHelp(72);
}

bool TTagWizardForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F2 && key->modifiers() == Qt::NoModifier) {
            auto in = [watched](QWidget* box) {
                return watched == box || (box && watched->parent() == box);
            };
            if (in(hbDir)) {
                sbDirBrowseClick();
                return true;
            }
            if (in(hbFileSpec)) {
                sbExtFSpecClick();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TTagWizardForm::keyPressEvent(QKeyEvent* event) {
    // F1 opens the topic of the page in front.
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier && showHelp) {
        showHelp(pcWizard->currentWidget() == tsTemplates ? 73 : 74);
        return;
    }
    QDialog::keyPressEvent(event);
}

void TTagWizardForm::done(int result) {
    TEnhHeaderControl::SaveWidths(hdrCriteria, "hdrCriteria", q(SettingsIniName()));
    QDialog::done(result);
}

} // namespace zentrix
