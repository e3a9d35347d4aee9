#include "gui/config/toptionsform.h"

#include "catalogue/filetypedescription.h"
#include "config/compatibility.h"
#include "config/pathforms.h"
#include "config/settingstarget.h"
#include "config/startupdrives.h"
#include "config/tenhinifile.h"
#include "config/userfiletypes.h"
#include "config/watchdogoperations.h"
#include "core/prompter.h"
#include "gui/config/optionshost.h"
#include "gui/config/tcommandbuttonspage.h"
#include "gui/config/toolsconfig.h"
#include "gui/config/tshortcutspage.h"
#include "gui/config/ttoolspage.h"
#include "gui/controls/a11y.h"
#include "gui/controls/tradiogroup.h"
#include "platform/atomicfile.h"
#include "platform/drivetable.h"
#include "platform/shellintegration.h"
#include "platform/sound.h"
#include "platform/trashcommands.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zentrix {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}
std::string s(const QString& text) {
    return text.toStdString();
}
QString plain(QString caption) {
    return caption.remove('&');
}

constexpr const char* kWDViewError = "Error viewing WatchDog file!     ";
constexpr const char* kWDRemoved = "WatchDog file successfuly removed!     ";
constexpr const char* kWDRemoveFailed = "Failed to remove WatchDog file!     ";
constexpr const char* kWipeNote =
    "Shredder, Incinerator and DoD overwrite a file in place. On copy-on-write file systems "
    "(Btrfs, ZFS) and on flash storage (SSD, USB sticks, memory cards) the old blocks are not "
    "reached and may still be read.";
constexpr const char* kDeleteCompensated = "Delete type compensated with compatibility mode.     ";

// The WatchDog size box: an empty box goes back to 100 when left.
class WDSizeSpinBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

protected:
    void fixup(QString& input) const override {
        if (cleanText().trimmed().isEmpty() || input.trimmed().isEmpty() ||
            input.trimmed() == suffix().trimmed())
            input = QStringLiteral("100");
        else
            QSpinBox::fixup(input);
    }
};

struct PageInfo {
    TOptionsForm::Page page;
    int helpContext;
    int helpTopic;
};

constexpr PageInfo kPageInfo[] = {
    {TOptionsForm::Page::General, 28, 10},       {TOptionsForm::Page::View, 29, 11},
    {TOptionsForm::Page::Sort, 30, 31},          {TOptionsForm::Page::Disks, 32, 33},
    {TOptionsForm::Page::Extensions, 34, 35},    {TOptionsForm::Page::Delete, 36, 37},
    {TOptionsForm::Page::Compatibility, 51, 39}, {TOptionsForm::Page::Sounds, 54, 42},
    {TOptionsForm::Page::WatchDog, 55, 43},      {TOptionsForm::Page::Confirmation, 56, 44},
    {TOptionsForm::Page::ViewerEditor, 58, 46},  {TOptionsForm::Page::Tools, 50, 38},
    {TOptionsForm::Page::DirButtons, 52, 40},    {TOptionsForm::Page::FileButtons, 53, 41},
    {TOptionsForm::Page::ShortCuts, 57, 45},
};

// A plain read-only window for a text file; false when the file cannot be read.
bool showTextFile(QWidget* parent, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 kLimit = 16 * 1024 * 1024;
    const QByteArray bytes = file.read(kLimit);
    if (bytes.isNull() && file.error() != QFile::NoError)
        return false;
    QDialog window(parent);
    window.setWindowTitle(QFileInfo(path).fileName());
    auto* layout = new QVBoxLayout(&window);
    auto* text = new QPlainTextEdit(&window);
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setPlainText(QString::fromUtf8(bytes));
    NameComponent(text, "memWDFile", QFileInfo(path).fileName());
    layout->addWidget(text);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, &window);
    QObject::connect(close, &QDialogButtonBox::rejected, &window, &QDialog::reject);
    layout->addWidget(close);
    window.resize(700, 500);
    window.exec();
    return true;
}

} // namespace

int TOptionsForm::HelpContext(Page page) {
    for (const auto& p : kPageInfo)
        if (p.page == page)
            return p.helpContext;
    return 0;
}

int TOptionsForm::HelpTopic(Page page) {
    for (const auto& p : kPageInfo)
        if (p.page == page)
            return p.helpTopic;
    return 0;
}

int TOptionsForm::Execute(OptionsContext& context, Page page, QWidget* parent) {
    // What is saved here is only what the dialog's Cancel goes back to: a store
    // that cannot be written is said, and the dialog opens all the same.
    try {
        if (context.host)
            context.host->SaveMenuShortcuts();
        TEnhIniFile store(context.iniName, context.storePath);
        SaveSettings(store, context.settings, context.target);
    } catch (const platform::FileWriteError& e) {
        context.prompter.warn(std::string("The settings could not be written.     \n") + e.what());
    }
    TOptionsForm form(context, page, parent);
    return form.exec();
}

TOptionsForm::TOptionsForm(OptionsContext& context, Page page, QWidget* parent)
    : QDialog(parent), m_ctx(context),
      m_store(std::make_unique<TEnhIniFile>(context.iniName, context.storePath)) {
    setObjectName("OptionsForm");
    setWindowTitle("Options");
    setAccessibleName("Options");
    setModal(true);

    m_chooseDirectory = [this](const QString& start) {
        // The minimum compatibility mode keeps to the plain, built-in chooser.
        QFileDialog::Options options = QFileDialog::ShowDirsOnly;
        if (m_ctx.settings.Compatibility == kCompatibilityMinimum)
            options |= QFileDialog::DontUseNativeDialog;
        return QFileDialog::getExistingDirectory(this, "Select directory", start, options);
    };
    m_chooseFile = [this](const QString& caption, const QString& start) {
        static const QStringList kPrograms = {"*.EXE", "*.COM", "*.PIF"};
        const QString programs = "Programs (*.EXE *.COM *.PIF)";
        // Programs here rarely carry an extension: offer all files first unless
        // the current program has one of the old ones.
        QString selected = "All files (*)";
        for (const QString& pattern : kPrograms)
            if (start.endsWith(pattern.mid(1), Qt::CaseInsensitive))
                selected = programs;
        return QFileDialog::getOpenFileName(this, caption, start, programs + ";;All files (*)",
                                            &selected);
    };
    m_viewFile = [this](const QString& path) {
        return showTextFile(this, path);
    };

    auto* layout = new QVBoxLayout(this);
    pcOptions = new QTabWidget(this);
    NameComponent(pcOptions, "pcOptions", "Option pages");
    layout->addWidget(pcOptions);

    if (m_ctx.tools) {
        tsTools = new TToolsPage(*m_ctx.tools);
        tsDirButtons = new TCommandButtonsPage(TCommandButtonsPage::Bar::Directory, *m_ctx.tools);
        tsFileButtons = new TCommandButtonsPage(TCommandButtonsPage::Bar::File, *m_ctx.tools);
        tsShortCuts = new TShortCutsPage(*m_ctx.tools);
    }
    const std::pair<Page, QWidget*> pages[] = {
        {Page::General, buildGeneralPage()},
        {Page::View, buildViewPage()},
        {Page::Sort, buildSortPage()},
        {Page::Disks, buildDisksPage()},
        {Page::Extensions, buildExtensionsPage()},
        {Page::Delete, buildDeletePage()},
        {Page::Tools, tsTools},
        {Page::Compatibility, buildCompatibilityPage()},
        {Page::DirButtons, tsDirButtons},
        {Page::FileButtons, tsFileButtons},
        {Page::Sounds, buildSoundsPage()},
        {Page::WatchDog, buildWatchDogPage()},
        {Page::Confirmation, buildConfirmationPage()},
        {Page::ShortCuts, tsShortCuts},
        {Page::ViewerEditor, buildViewerEditorPage()},
    };
    for (const auto& [id, widget] : pages) {
        if (!widget)
            continue;
        pcOptions->addTab(widget, widget->accessibleName());
        m_pages.push_back(id);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btnOK = new QPushButton("&OK", this);
    NameComponent(btnOK, "btnOK", "OK");
    btnOK->setDefault(true);
    btnCancel = new QPushButton("&Cancel", this);
    NameComponent(btnCancel, "btnCancel", "Cancel");
    btnHelp = new QPushButton("&Help", this);
    NameComponent(btnHelp, "btnHelp", "Help");
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnHelp);
    layout->addLayout(buttons);
    connect(btnOK, &QPushButton::clicked, this, &TOptionsForm::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TOptionsForm::btnCancelClick);
    connect(btnHelp, &QPushButton::clicked, this, &TOptionsForm::btnHelpClick);

    auto* whatIsThis = new QAction("&What is this?", this);
    connect(whatIsThis, &QAction::triggered, this, [this] {
        if (m_ctx.host)
            m_ctx.host->ShowHelpTopic(HelpContext(currentPage()), true);
    });
    pcOptions->setContextMenuPolicy(Qt::ActionsContextMenu);
    pcOptions->addAction(whatIsThis);

    loadControls();

    for (size_t i = 0; i < m_pages.size(); ++i)
        if (m_pages[i] == page)
            pcOptions->setCurrentIndex(static_cast<int>(i));
    connect(pcOptions, &QTabWidget::currentChanged, this, &TOptionsForm::pageChanged);
    pageChanged();
}

void TOptionsForm::pageChanged() {
    // The hot-key field takes Alt combinations: the dialog's buttons give up their
    // accelerators while the shortcuts page is in front.
    const bool plain = currentPage() == Page::ShortCuts;
    btnOK->setText(plain ? "OK" : "&OK");
    btnCancel->setText(plain ? "Cancel" : "&Cancel");
    btnHelp->setText(plain ? "Help" : "&Help");
}

TOptionsForm::~TOptionsForm() = default;

TOptionsForm::Page TOptionsForm::currentPage() const {
    const int index = pcOptions->currentIndex();
    return index >= 0 && index < static_cast<int>(m_pages.size()) ? m_pages[index] : Page::General;
}

QCheckBox* TOptionsForm::checkBox(const char* name, const QString& caption) {
    auto* box = new QCheckBox(caption);
    NameComponent(box, name, plain(caption));
    return box;
}

// --- pages ------------------------------------------------------------------------

QWidget* TOptionsForm::buildGeneralPage() {
    auto* page = new QWidget;
    NameComponent(page, "tsGeneral", "General");
    auto* layout = new QVBoxLayout(page);
    cbLogCDFromArchive = checkBox("cbLogCDFromArchive", "&Log CD-ROM disks from their archives");
    cbShowCmdPanel = checkBox("cbShowCmdPanel", "Show command li&ne panel");
    cbShowContextMenus =
        checkBox("cbShowContextMenus", "Right mouse button opens the &shell's context menu");
    cbRefreshOnActivate =
        checkBox("cbRefreshOnActivate", "Re&fresh the current directory when activated");
    cbDMCExecuteFile = checkBox("cbDMCExecuteFile", "Double clic&k executes a file");
    cbShowMemStat = checkBox("cbShowMemStat", "Show &memory status");
    cbShowTips = checkBox("cbShowTips", "Show a &tip at start-up");
    cbShowQuotes = checkBox("cbShowQuotes", "Show a q&uote at start-up");
    cbOneInst = checkBox("cbOneInst", "Allow one &instance only");
    cbWinMakeDir = checkBox("cbWinMakeDir", "&Explorer-style directory creation");
    cbWinRenameDir = checkBox("cbWinRenameDir", "Explorer-style directory &Renaming");
    cbQuickView = checkBox("cbQuickView", "&Quick file view/play panel");
    cbAutoPlay = checkBox("cbAutoPlay", "&Auto play multimedia files");
    cbShellExt = checkBox("cbShellExt", "Offer Zentrix on the desktop's &directory menu");
    for (QCheckBox* box : {cbLogCDFromArchive, cbShowCmdPanel, cbShowContextMenus,
                           cbRefreshOnActivate, cbDMCExecuteFile, cbShowMemStat, cbShowTips,
                           cbShowQuotes, cbOneInst, cbWinMakeDir, cbWinRenameDir, cbQuickView})
        layout->addWidget(box);
    auto* autoPlayRow = new QHBoxLayout;
    autoPlayRow->addSpacing(20);
    autoPlayRow->addWidget(cbAutoPlay);
    layout->addLayout(autoPlayRow);
    layout->addWidget(cbShellExt);
    layout->addStretch();
    connect(cbQuickView, &QCheckBox::clicked, this, &TOptionsForm::cbQuickViewClick);
    connect(cbShellExt, &QCheckBox::clicked, this, &TOptionsForm::cbShellExtClick);
    return page;
}

QWidget* TOptionsForm::buildViewPage() {
    auto* page = new QWidget;
    NameComponent(page, "tsView", "View");
    auto* layout = new QGridLayout(page);
    rgFileDisplay = new TRadioGroup(
        " File Display ",
        {"&Small icons", "&Large icons", "&No icons", "&Three columns", "&Five columns"}, page);
    NameComponent(rgFileDisplay, "rgFileDisplay", "File display");
    layout->addWidget(rgFileDisplay, 0, 0, 1, 2);

    seSmallIconSize = new QSpinBox(page);
    seSmallIconSize->setRange(8, 32);
    NameComponent(seSmallIconSize, "seSmallIconSize", "Small icon size");
    auto* smallLabel = new QLabel("Small icon si&ze:", page);
    smallLabel->setBuddy(seSmallIconSize);
    seLargeIconSize = new QSpinBox(page);
    seLargeIconSize->setRange(32, 64);
    NameComponent(seLargeIconSize, "seLargeIconSize", "Large icon size");
    auto* largeLabel = new QLabel("Lar&ge icon size:", page);
    largeLabel->setBuddy(seLargeIconSize);
    layout->addWidget(smallLabel, 1, 0);
    layout->addWidget(seSmallIconSize, 1, 1);
    layout->addWidget(largeLabel, 2, 0);
    layout->addWidget(seLargeIconSize, 2, 1);

    cbDisplayFullPath = checkBox("cbDisplayFullPath", "Display f&ull path");
    cbFetchFileDesc = checkBox("cbFetchFileDesc", "Fetch file &descriptions at once");
    cbShowFileDesc = checkBox("cbShowFileDesc", "Sho&w description column");
    cbShortNames = checkBox("cbShortNames", "Show short na&mes only");
    cbShowFolderIcons = checkBox("cbShowFolderIcons", "Show folder &icons in the tree");
    cbAllowManyEntries = checkBox("cbAllowManyEntries", "&Allow more than 32,767 entries");
    int row = 3;
    for (QCheckBox* box : {cbDisplayFullPath, cbFetchFileDesc, cbShowFileDesc, cbShortNames,
                           cbShowFolderIcons, cbAllowManyEntries})
        layout->addWidget(box, row++, 0, 1, 2);
    layout->setRowStretch(row, 1);
    return page;
}

QWidget* TOptionsForm::buildSortPage() {
    auto* page = new QWidget;
    NameComponent(page, "tsSort", "Sort");
    auto* layout = new QVBoxLayout(page);
    rgFileSort = new TRadioGroup(
        " Sort Files By ", {"&Name", "&Extension", "Si&ze", "&Date", "&Attributes", "Descr&iption"},
        page);
    NameComponent(rgFileSort, "rgFileSort", "Sort files by");
    cbReverseSort = checkBox("cbReverseSort", "&Reverse sort order");
    layout->addWidget(rgFileSort);
    layout->addWidget(cbReverseSort);
    layout->addStretch();
    return page;
}

QWidget* TOptionsForm::buildDisksPage() {
    auto* page = new QWidget;
    NameComponent(page, "tsDisks", "Disks");
    auto* layout = new QVBoxLayout(page);

    auto* precisionLabel = new QLabel("Disk logging &precision:", page);
    trLogDrivePrecision = new QSlider(Qt::Horizontal, page);
    trLogDrivePrecision->setRange(0, 10);
    trLogDrivePrecision->setPageStep(1);
    trLogDrivePrecision->setTickPosition(QSlider::TicksBelow);
    trLogDrivePrecision->setTickInterval(1);
    NameComponent(trLogDrivePrecision, "trLogDrivePrecision", "Disk logging precision");
    precisionLabel->setBuddy(trLogDrivePrecision);
    layout->addWidget(precisionLabel);
    layout->addWidget(trLogDrivePrecision);
    auto* marks = new QHBoxLayout;
    marks->addWidget(new QLabel("None", page));
    marks->addStretch();
    marks->addWidget(new QLabel("Medium", page));
    marks->addStretch();
    marks->addWidget(new QLabel("Exact", page));
    layout->addLayout(marks);
    cbShowHiddenDirs = checkBox("cbShowHiddenDirs", "Show hi&dden directories in the tree");
    layout->addWidget(cbShowHiddenDirs);
    cbFollowChanges = checkBox("cbFollowChanges", "Follow changes on disk");
    layout->addWidget(cbFollowChanges);

    auto* drivesLabel = new QLabel("&Log these disks at start-up:", page);
    lbLogDrives = new QListWidget(page);
    NameComponent(lbLogDrives, "lbLogDrives", "Disks logged at start-up");
    drivesLabel->setBuddy(lbLogDrives);
    layout->addWidget(drivesLabel);
    layout->addWidget(lbLogDrives, 1);

    auto* row = new QHBoxLayout;
    btnDrivesSelectAll = new QPushButton("Select &All", page);
    NameComponent(btnDrivesSelectAll, "btnDrivesSelectAll", "Select all disks");
    btnDrivesDeselectAll = new QPushButton("De&select All", page);
    NameComponent(btnDrivesDeselectAll, "btnDrivesDeselectAll", "Deselect all disks");
    row->addWidget(btnDrivesSelectAll);
    row->addWidget(btnDrivesDeselectAll);
    row->addStretch();
    layout->addLayout(row);
    connect(btnDrivesSelectAll, &QPushButton::clicked, this,
            [this] { btnDrivesSelectAllClick(true); });
    connect(btnDrivesDeselectAll, &QPushButton::clicked, this,
            [this] { btnDrivesSelectAllClick(false); });
    return page;
}

QWidget* TOptionsForm::buildExtensionsPage() {
    auto* page = new QWidget;
    NameComponent(page, "tsExtensions", "Extensions");
    auto* layout = new QGridLayout(page);

    auto* listLabel = new QLabel("User file &types:", page);
    lbUserExt = new QListWidget(page);
    lbUserExt->setSelectionMode(QAbstractItemView::ExtendedSelection);
    NameComponent(lbUserExt, "lbUserExt", "User file types");
    listLabel->setBuddy(lbUserExt);
    layout->addWidget(listLabel, 0, 0, 1, 3);
    layout->addWidget(lbUserExt, 1, 0, 1, 3);

    edExtDescription = new QLineEdit(page);
    NameComponent(edExtDescription, "edExtDescription", "File type description");
    edExtDescription->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[^()]*"), edExtDescription));
    auto* descLabel = new QLabel("D&escription:", page);
    descLabel->setBuddy(edExtDescription);
    edExtSpecification = new QLineEdit(page);
    NameComponent(edExtSpecification, "edExtSpecification", "File type specification");
    auto* specLabel = new QLabel("S&pecification:", page);
    specLabel->setBuddy(edExtSpecification);
    layout->addWidget(descLabel, 2, 0);
    layout->addWidget(edExtDescription, 2, 1, 1, 2);
    layout->addWidget(specLabel, 3, 0);
    layout->addWidget(edExtSpecification, 3, 1, 1, 2);

    auto* row = new QHBoxLayout;
    btnExtAdd = new QPushButton("&Add", page);
    NameComponent(btnExtAdd, "btnExtAdd", "Add file type");
    btnExtModify = new QPushButton("&Modify", page);
    NameComponent(btnExtModify, "btnExtModify", "Modify selected file types");
    btnExtDelete = new QPushButton("&Delete", page);
    NameComponent(btnExtDelete, "btnExtDelete", "Delete selected file types");
    row->addWidget(btnExtAdd);
    row->addWidget(btnExtModify);
    row->addWidget(btnExtDelete);
    row->addStretch();
    layout->addLayout(row, 4, 0, 1, 3);

    connect(edExtDescription, &QLineEdit::textChanged, this, &TOptionsForm::updateExtButtons);
    connect(edExtSpecification, &QLineEdit::textChanged, this, &TOptionsForm::updateExtButtons);
    connect(btnExtAdd, &QPushButton::clicked, this, &TOptionsForm::btnExtAddClick);
    connect(btnExtModify, &QPushButton::clicked, this, &TOptionsForm::btnExtModifyClick);
    connect(btnExtDelete, &QPushButton::clicked, this, &TOptionsForm::btnExtDeleteClick);
    connect(lbUserExt, &QListWidget::itemSelectionChanged, this, &TOptionsForm::lbUserExtClick);
    return page;
}

QWidget* TOptionsForm::buildDeletePage() {
    auto* page = new QWidget;
    NameComponent(page, "tsDelete", "Delete");
    auto* layout = new QGridLayout(page);
    rgFileDeletion =
        new TRadioGroup(" File Deletion Modes ",
                        {"&Recycle bin (Safe deletion)", "&Trash Can (Normal deletion)",
                         "&Shredder (Destroy deletion)", "&Incinerator (Fast-wipe deletion)",
                         "&DoD (Government secure deletion)"},
                        page);
    NameComponent(rgFileDeletion, "rgFileDeletion", "File deletion modes");
    layout->addWidget(rgFileDeletion, 0, 0, 2, 1);

    imgRecycleBin = new QLabel(page);
    QIcon trash = QIcon::fromTheme("user-trash");
    if (trash.isNull())
        trash = style()->standardIcon(QStyle::SP_TrashIcon);
    imgRecycleBin->setPixmap(trash.pixmap(48, 48));
    imgRecycleBin->setToolTip(
        "Double click opens the recycle bin; the right button shows its menu");
    NameComponent(imgRecycleBin, "imgRecycleBin", "Recycle bin");
    imgRecycleBin->installEventFilter(this);
    btnEmptyRecycleBin = new QPushButton("&Empty recycle bin", page);
    NameComponent(btnEmptyRecycleBin, "btnEmptyRecycleBin", "Empty recycle bin");
    layout->addWidget(imgRecycleBin, 0, 1, Qt::AlignHCenter);
    layout->addWidget(btnEmptyRecycleBin, 1, 1, Qt::AlignTop);
    // The three wipe modes overwrite the file where it stands; some storage
    // writes elsewhere.
    lbWipeNote = new QLabel(kWipeNote, page);
    lbWipeNote->setWordWrap(true);
    NameComponent(lbWipeNote, "lbWipeNote", kWipeNote);
    layout->addWidget(lbWipeNote, 2, 0, 1, 2);
    layout->setRowStretch(3, 1);
    connect(btnEmptyRecycleBin, &QPushButton::clicked, this,
            &TOptionsForm::btnEmptyRecycleBinClick);
    return page;
}

QWidget* TOptionsForm::buildCompatibilityPage() {
    auto* page = new QWidget;
    NameComponent(page, "tsCompatibility", "Compatibility");
    auto* layout = new QVBoxLayout(page);
    rgCompatibility = new TRadioGroup(" Compatibility Mode ",
                                      {"&Minimum (Windows NT 3.5x, Win32s)",
                                       "M&edium (Windows 95 OSR/2, Win NT 4.0)",
                                       "&Full (100% Windows 95 compatible)"},
                                      page);
    NameComponent(rgCompatibility, "rgCompatibility", "Compatibility mode");
    layout->addWidget(rgCompatibility);
    layout->addStretch();
    return page;
}

QWidget* TOptionsForm::buildSoundsPage() {
    auto* page = new QWidget;
    NameComponent(page, "tsSounds", "Sounds");
    auto* layout = new QGridLayout(page);
    cbSoundWhenComplete =
        checkBox("cbSoundWhenComplete", "Play a sound when an operation comp&letes");
    layout->addWidget(cbSoundWhenComplete, 0, 0, 1, 2);

    auto* listLabel = new QLabel("S&ounds:", page);
    lbSounds = new QListWidget(page);
    NameComponent(lbSounds, "lbSounds", "System sounds");
    listLabel->setBuddy(lbSounds);
    for (const char* alias : platform::kSoundAliases)
        lbSounds->addItem(alias);
    layout->addWidget(listLabel, 1, 0, 1, 2);
    layout->addWidget(lbSounds, 2, 0, 3, 1);

    btnPlaySound = new QPushButton("&Play", page);
    NameComponent(btnPlaySound, "btnPlaySound", "Play the selected sound");
    btnChooseSound = new QPushButton("Choo&se", page);
    NameComponent(btnChooseSound, "btnChooseSound", "Choose the selected sound");
    layout->addWidget(btnPlaySound, 2, 1);
    layout->addWidget(btnChooseSound, 3, 1);

    auto* chosenRow = new QHBoxLayout;
    chosenRow->addWidget(new QLabel("Chosen sound:", page));
    lbChosenSound = new QLabel(page);
    NameValueLabel(lbChosenSound, "lbChosenSound", "Chosen sound");
    chosenRow->addWidget(lbChosenSound, 1);
    layout->addLayout(chosenRow, 5, 0, 1, 2);
    connect(btnPlaySound, &QPushButton::clicked, this, &TOptionsForm::btnPlaySoundClick);
    connect(btnChooseSound, &QPushButton::clicked, this, &TOptionsForm::btnChooseSoundClick);
    return page;
}

QWidget* TOptionsForm::buildWatchDogPage() {
    auto* page = new QWidget;
    NameComponent(page, "tsWatchDog", "WatchDog");
    auto* layout = new QGridLayout(page);

    cbWDEnabled = checkBox("cbWDEnabled", "&Enable WatchDog");
    layout->addWidget(cbWDEnabled, 0, 0, 1, 3);

    auto* listLabel = new QLabel("&Log to WatchDog file following file operations:", page);
    lbWatchDog = new QListWidget(page);
    NameComponent(lbWatchDog, "lbWatchDog", "Operations logged to the WatchDog file");
    listLabel->setBuddy(lbWatchDog);
    for (const char* name : kWatchDogOperationNames) {
        auto* item = new QListWidgetItem(name, lbWatchDog);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    layout->addWidget(listLabel, 1, 0, 1, 3);
    layout->addWidget(lbWatchDog, 2, 0, 1, 3);

    btnWDSelectAll = new QPushButton("Select &All", page);
    NameComponent(btnWDSelectAll, "btnWDSelectAll", "Select all operations");
    btnWDDeselectAll = new QPushButton("De&select All", page);
    NameComponent(btnWDDeselectAll, "btnWDDeselectAll", "Deselect all operations");
    auto* selectRow = new QHBoxLayout;
    selectRow->addWidget(btnWDSelectAll);
    selectRow->addWidget(btnWDDeselectAll);
    selectRow->addStretch();
    layout->addLayout(selectRow, 3, 0, 1, 3);

    cbWDAutoDelete = checkBox("cbWDAutoDelete", "Au&tomatically delete the WatchDog file above");
    seWDFSize = new WDSizeSpinBox(page);
    seWDFSize->setRange(100, 9999);
    seWDFSize->setSingleStep(100);
    seWDFSize->setSuffix(" KB");
    NameComponent(seWDFSize, "seWDFSize", "WatchDog file size limit in kilobytes");
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(cbWDAutoDelete);
    sizeRow->addWidget(seWDFSize);
    sizeRow->addStretch();
    layout->addLayout(sizeRow, 4, 0, 1, 3);

    layout->addWidget(new QLabel("WatchDog file directory:", page), 5, 0);
    lbWDFilePath = new QLabel(page);
    lbWDFilePath->setTextInteractionFlags(Qt::TextSelectableByMouse);
    NameValueLabel(lbWDFilePath, "lbWDFilePath", "WatchDog file directory");
    layout->addWidget(lbWDFilePath, 5, 1);
    btnWDBrowse = new QPushButton("&Browse ...", page);
    NameComponent(btnWDBrowse, "btnWDBrowse", "Browse for the WatchDog file directory");
    layout->addWidget(btnWDBrowse, 5, 2);

    btnViewWDFile = new QPushButton("&View WD file", page);
    NameComponent(btnViewWDFile, "btnViewWDFile", "View WatchDog file");
    btnRemoveWDFile = new QPushButton("&Remove WD file", page);
    NameComponent(btnRemoveWDFile, "btnRemoveWDFile", "Remove WatchDog file");
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(btnViewWDFile);
    fileRow->addWidget(btnRemoveWDFile);
    fileRow->addStretch();
    layout->addLayout(fileRow, 6, 0, 1, 3);

    // The undo journal keeps the last operations for Undo and the history.
    auto* undoLabel = new QLabel("&Undo journal keeps the last operations:", page);
    seUndoEntries = new QSpinBox(page);
    seUndoEntries->setRange(1, 100000);
    seUndoEntries->setSingleStep(100);
    NameComponent(seUndoEntries, "seUndoEntries", "Operations kept in the undo journal");
    undoLabel->setBuddy(seUndoEntries);
    auto* undoRow = new QHBoxLayout;
    undoRow->addWidget(undoLabel);
    undoRow->addWidget(seUndoEntries);
    undoRow->addStretch();
    layout->addLayout(undoRow, 7, 0, 1, 3);
    layout->setColumnStretch(1, 1);

    connect(lbWatchDog, &QListWidget::itemChanged, this, &TOptionsForm::updateWDEnabled);
    connect(btnWDSelectAll, &QPushButton::clicked, this, [this] { btnWDSelectAllClick(true); });
    connect(btnWDDeselectAll, &QPushButton::clicked, this, [this] { btnWDSelectAllClick(false); });
    connect(btnWDBrowse, &QPushButton::clicked, this, &TOptionsForm::btnWDBrowseClick);
    connect(btnViewWDFile, &QPushButton::clicked, this, &TOptionsForm::btnViewWDFileClick);
    connect(btnRemoveWDFile, &QPushButton::clicked, this, &TOptionsForm::btnRemoveWDFileClick);
    return page;
}

QWidget* TOptionsForm::buildConfirmationPage() {
    auto* page = new QWidget;
    NameComponent(page, "tsConfirmation", "Confirmation");
    auto* layout = new QVBoxLayout(page);
    auto* group = new QGroupBox(" Get confirmation before ", page);
    NameComponent(group, "gbConfirmation", "Get confirmation before");
    auto* inner = new QVBoxLayout(group);
    cbSkipReleaseDrv = checkBox("cbSkipReleaseDrv", "Re&leasing a disk");
    cbSkipEjectCDROM = checkBox("cbSkipEjectCDROM", "&Ejecting a CD-ROM");
    cbSkipQuit = checkBox("cbSkipQuit", "&Quitting the program");
    cbSkipRemoveRoot = checkBox("cbSkipRemoveRoot", "Removing &virtual root");
    cbSkipArchive = checkBox("cbSkipArchive", "&Archiving a CD-ROM");
    cbSkipDisconnectNet = checkBox("cbSkipDisconnectNet", "&Disconnecting from network");
    cbSkipRestore = checkBox("cbSkipRestore", "Logging from a&n archive");
    cbSkipDeleteSpecialAttr =
        checkBox("cbSkipDeleteSpecialAttr", "Deleting a file with &special attributes");
    cbSkipProtected =
        checkBox("cbSkipProtected", "Deleting or renaming a &protected file or directory");
    cbSkipPrune = checkBox("cbSkipPrune", "P&runing a directory branch");
    for (QCheckBox* box : {cbSkipReleaseDrv, cbSkipEjectCDROM, cbSkipQuit, cbSkipRemoveRoot,
                           cbSkipArchive, cbSkipDisconnectNet, cbSkipRestore,
                           cbSkipDeleteSpecialAttr, cbSkipProtected, cbSkipPrune})
        inner->addWidget(box);
    layout->addWidget(group);
    layout->addStretch();
    return page;
}

QWidget* TOptionsForm::buildViewerEditorPage() {
    auto* page = new QWidget;
    NameComponent(page, "tsViewerEditor", "Viewer/Editor");
    auto* layout = new QVBoxLayout(page);
    cbUseDefEditor = checkBox("cbUseDefEditor", "Use the built-in &editor");
    cbUseDefViewer = checkBox("cbUseDefViewer", "Use the built-in &viewer");
    cbViewAutoHex = checkBox("cbViewAutoHex", "The viewer chooses he&x display for binary files");

    auto program = [&](const char* groupName, const QString& caption, QLabel*& path,
                       const char* pathName, QLabel*& desc, const char* descName, QLabel*& icon,
                       const char* iconName, QPushButton*& browse, const char* browseName,
                       const QString& browseCaption) {
        auto* group = new QGroupBox(caption, page);
        NameComponent(group, groupName, plain(caption).trimmed());
        auto* grid = new QGridLayout(group);
        icon = new QLabel(group);
        icon->setFixedSize(36, 36);
        NameComponent(icon, iconName, plain(caption).trimmed() + " icon");
        path = new QLabel(group);
        path->setTextInteractionFlags(Qt::TextSelectableByMouse);
        NameValueLabel(path, pathName, plain(caption).trimmed() + " program");
        desc = new QLabel(group);
        NameValueLabel(desc, descName, plain(caption).trimmed() + " description");
        browse = new QPushButton(browseCaption, group);
        NameComponent(browse, browseName, "Browse for the " + plain(caption).trimmed().toLower());
        grid->addWidget(icon, 0, 0, 2, 1);
        grid->addWidget(path, 0, 1);
        grid->addWidget(desc, 1, 1);
        grid->addWidget(browse, 0, 2);
        grid->setColumnStretch(1, 1);
        return group;
    };
    layout->addWidget(cbUseDefEditor);
    layout->addWidget(program("gbEditor", " Associated editor ", lbEditorPath, "lbEditorPath",
                              lbEditorDesc, "lbEditorDesc", imgEditorIcon, "imgEditorIcon",
                              btnBrowseEditor, "btnBrowseEditor", "&Browse ..."));
    layout->addWidget(cbUseDefViewer);
    layout->addWidget(program("gbViewer", " Associated viewer ", lbViewerPath, "lbViewerPath",
                              lbViewerDesc, "lbViewerDesc", imgViewerIcon, "imgViewerIcon",
                              btnBrowseViewer, "btnBrowseViewer", "B&rowse ..."));
    layout->addWidget(cbViewAutoHex);
    layout->addStretch();
    connect(btnBrowseEditor, &QPushButton::clicked, this, &TOptionsForm::btnBrowseEditorClick);
    connect(btnBrowseViewer, &QPushButton::clicked, this, &TOptionsForm::btnBrowseViewerClick);
    return page;
}

// --- settings <-> controls -----------------------------------------------------------

void TOptionsForm::loadControls() {
    Settings& st = m_ctx.settings;

    cbShellExt->setChecked(platform::ShellIntegrationExists());

    const auto stored = LoadLogDrivesAtStartup(*m_store);
    for (const std::string& entry : StartupDriveChoices(m_ctx.drives)) {
        auto* item = new QListWidgetItem(q(entry), lbLogDrives);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(IsStartupDriveChosen(entry, stored) ? Qt::Checked : Qt::Unchecked);
    }

    for (const std::string& type : m_ctx.userFileTypes)
        lbUserExt->addItem(q(type));
    updateExtButtons();

    cbLogCDFromArchive->setChecked(st.LogCDFromArchiveOption);
    cbShowCmdPanel->setChecked(st.ShowCmdLinePanel);
    cbShowContextMenus->setChecked(st.ShowContextMenus);
    cbRefreshOnActivate->setChecked(st.RefreshOnActivate);
    cbDMCExecuteFile->setChecked(st.DMCExecuteFile);
    cbShowMemStat->setChecked(st.ShowMemStat);
    cbShowTips->setChecked(st.ShowHintsAtStartUp);
    cbShowQuotes->setChecked(st.ShowQuotesAtStartUp);
    cbOneInst->setChecked(st.OneInst);
    cbWinMakeDir->setChecked(st.WinMakeDir);
    cbWinRenameDir->setChecked(st.WinRenameDir);
    cbQuickView->setChecked(st.QuickView);
    cbAutoPlay->setChecked(st.AutoPlay);

    rgFileDisplay->SetItemIndex(st.FileDisplayOption);
    seSmallIconSize->setValue(st.SmallIconSize);
    seLargeIconSize->setValue(st.LargeIconSize);
    cbDisplayFullPath->setChecked(st.DisplayFullPathOption);
    cbFetchFileDesc->setChecked(st.FetchFileDescOption);
    cbShowFileDesc->setChecked(st.ShowFileDescOption);
    cbShortNames->setChecked(st.ShowShortNames);
    cbShowFolderIcons->setChecked(st.ShowFolderIcons);
    cbAllowManyEntries->setChecked(st.AllowManyEntriesOption);
    cbShowHiddenDirs->setChecked(st.ShowHiddenDirsOption);
    cbFollowChanges->setChecked(st.FollowChangesOnDisk);

    rgFileSort->SetItemIndex(st.FileSortOption);
    cbReverseSort->setChecked(st.SortOrder);

    trLogDrivePrecision->setValue(st.LogDrivePrecisionOption);
    rgFileDeletion->SetItemIndex(st.DeleteType);
    rgCompatibility->SetItemIndex(st.Compatibility);

    cbSoundWhenComplete->setChecked(st.SoundWhenComplete);
    lbChosenSound->setText(q(st.ChosenSound));
    const auto matches = lbSounds->findItems(q(st.ChosenSound), Qt::MatchFixedString);
    if (!matches.isEmpty())
        lbSounds->setCurrentItem(matches.first());

    cbSkipReleaseDrv->setChecked(!st.SkipReleaseDrvOption);
    cbSkipEjectCDROM->setChecked(!st.SkipEjectCDROMOption);
    cbSkipQuit->setChecked(!st.SkipQuitOption);
    cbSkipRemoveRoot->setChecked(!st.SkipRemoveRootOption);
    cbSkipArchive->setChecked(!st.SkipArchiveOption);
    cbSkipDisconnectNet->setChecked(!st.SkipDisconnectNetworkOption);
    cbSkipRestore->setChecked(!st.SkipRestoreOption);
    cbSkipDeleteSpecialAttr->setChecked(!st.SkipDeleteSpecialAttrOption);
    cbSkipProtected->setChecked(!st.SkipProtectedOption);
    cbSkipPrune->setChecked(!st.SkipPruneOption);

    cbUseDefEditor->setChecked(st.UseDefaultFileEditor);
    cbUseDefViewer->setChecked(st.UseDefaultFileViewer);
    cbViewAutoHex->setChecked(st.ViewAutoHex);
    showProgram(true);
    showProgram(false);

    cbQuickViewClick();

    // The WatchDog page starts from the flags in the store.
    st.WatchDogOperations = LoadWatchDogOperations(*m_store);
    {
        const QSignalBlocker block(lbWatchDog);
        for (int i = 0; i < lbWatchDog->count(); ++i)
            lbWatchDog->item(i)->setCheckState(st.WatchDogOperations[i] ? Qt::Checked
                                                                        : Qt::Unchecked);
    }
    cbWDEnabled->setChecked(st.WDEnabled);
    updateWDEnabled();
    cbWDAutoDelete->setChecked(st.WDAutoDelete);
    seWDFSize->setValue(st.WDFileSize);
    seUndoEntries->setValue(st.UndoEntries);
    m_wdFilePath = st.WDFilePath;
    lbWDFilePath->setText(q(m_wdFilePath));
    updateWDFileButtons();

    // The user tools as the store holds them, and the live buttons and shortcuts.
    if (m_ctx.tools) {
        TToolList tools;
        tools.Load(*m_store, m_ctx.tools->probe);
        tsTools->load(tools, st.ShowToolTips);
        tsDirButtons->load(st.ShowDirButtons);
        tsFileButtons->load(st.ShowFileButtons);
        tsShortCuts->load();
    }
}

void TOptionsForm::storeControls() {
    Settings& st = m_ctx.settings;
    st.LogCDFromArchiveOption = cbLogCDFromArchive->isChecked();
    st.ShowCmdLinePanel = cbShowCmdPanel->isChecked();
    st.ShowContextMenus = cbShowContextMenus->isChecked();
    st.RefreshOnActivate = cbRefreshOnActivate->isChecked();
    st.DMCExecuteFile = cbDMCExecuteFile->isChecked();
    st.ShowMemStat = cbShowMemStat->isChecked();
    st.ShowHintsAtStartUp = cbShowTips->isChecked();
    st.ShowQuotesAtStartUp = cbShowQuotes->isChecked();
    st.OneInst = cbOneInst->isChecked();
    st.WinMakeDir = cbWinMakeDir->isChecked();
    st.WinRenameDir = cbWinRenameDir->isChecked();
    st.QuickView = cbQuickView->isChecked();
    st.AutoPlay = cbAutoPlay->isChecked();

    if (rgFileDisplay->ItemIndex() >= 0)
        st.FileDisplayOption = rgFileDisplay->ItemIndex();
    st.SmallIconSize = seSmallIconSize->value();
    st.LargeIconSize = seLargeIconSize->value();
    st.DisplayFullPathOption = cbDisplayFullPath->isChecked();
    st.FetchFileDescOption = cbFetchFileDesc->isChecked();
    st.ShowFileDescOption = cbShowFileDesc->isChecked();
    st.ShowShortNames = cbShortNames->isChecked();
    st.ShowFolderIcons = cbShowFolderIcons->isChecked();
    st.AllowManyEntriesOption = cbAllowManyEntries->isChecked();
    st.ShowHiddenDirsOption = cbShowHiddenDirs->isChecked();
    st.FollowChangesOnDisk = cbFollowChanges->isChecked();

    if (rgFileSort->ItemIndex() >= 0)
        st.FileSortOption = rgFileSort->ItemIndex();
    st.SortOrder = cbReverseSort->isChecked();

    st.LogDrivePrecisionOption = trLogDrivePrecision->value();
    if (rgFileDeletion->ItemIndex() >= 0)
        st.DeleteType = rgFileDeletion->ItemIndex();
    if (rgCompatibility->ItemIndex() >= 0)
        st.Compatibility = rgCompatibility->ItemIndex();

    st.SoundWhenComplete = cbSoundWhenComplete->isChecked();
    st.ChosenSound = s(lbChosenSound->text());

    st.SkipReleaseDrvOption = !cbSkipReleaseDrv->isChecked();
    st.SkipEjectCDROMOption = !cbSkipEjectCDROM->isChecked();
    st.SkipQuitOption = !cbSkipQuit->isChecked();
    st.SkipRemoveRootOption = !cbSkipRemoveRoot->isChecked();
    st.SkipArchiveOption = !cbSkipArchive->isChecked();
    st.SkipDisconnectNetworkOption = !cbSkipDisconnectNet->isChecked();
    st.SkipRestoreOption = !cbSkipRestore->isChecked();
    st.SkipDeleteSpecialAttrOption = !cbSkipDeleteSpecialAttr->isChecked();
    st.SkipProtectedOption = !cbSkipProtected->isChecked();
    st.SkipPruneOption = !cbSkipPrune->isChecked();

    st.UseDefaultFileEditor = cbUseDefEditor->isChecked();
    st.UseDefaultFileViewer = cbUseDefViewer->isChecked();
    st.ViewAutoHex = cbViewAutoHex->isChecked();

    st.WDEnabled = cbWDEnabled->isChecked();
    st.WDAutoDelete = cbWDAutoDelete->isChecked();
    st.WDFileSize = seWDFSize->value();
    st.UndoEntries = seUndoEntries->value();
    st.WDFilePath = m_wdFilePath;

    if (m_ctx.tools) {
        st.ShowToolTips = tsTools->showToolTips();
        st.ShowDirButtons = tsDirButtons->showButtons();
        st.ShowFileButtons = tsFileButtons->showButtons();
    }
}

OptionsDialogLists TOptionsForm::dialogLists() const {
    OptionsDialogLists lists;
    for (int i = 0; i < lbUserExt->count(); ++i)
        lists.userExt.push_back(s(lbUserExt->item(i)->text()));
    for (int i = 0; i < lbLogDrives->count(); ++i)
        if (lbLogDrives->item(i)->checkState() == Qt::Checked)
            lists.logDrives.push_back(s(lbLogDrives->item(i)->text()));
    for (int i = 0; i < lbWatchDog->count() && i < kWatchDogOperationCount; ++i)
        lists.watchDogOperations[i] = lbWatchDog->item(i)->checkState() == Qt::Checked;
    return lists;
}

// --- OK, Cancel, Help ------------------------------------------------------------------

void TOptionsForm::btnOKClick() {
    accept();
}
void TOptionsForm::btnCancelClick() {
    reject();
}

void TOptionsForm::btnHelpClick() {
    if (m_ctx.host)
        m_ctx.host->ShowHelpTopic(HelpTopic(currentPage()), false);
}

void TOptionsForm::accept() {
    Settings& st = m_ctx.settings;
    if (m_ctx.host)
        m_ctx.host->ApplyDescriptionColumn(cbShowFileDesc->isChecked());
    storeControls();
    if (st.DeleteType == 0 && st.Compatibility == kCompatibilityMinimum) {
        st.DeleteType = 1;
        m_ctx.prompter.warn(kDeleteCompensated);
    }
    // The operations checked are kept even while the WatchDog is off, so that the
    // choice is still there when it is switched on again.
    const OptionsDialogLists lists = dialogLists();
    st.WatchDogOperations = lists.watchDogOperations;
    st.LogDrivesAtStartup = lists.logDrives;
    m_ctx.userFileTypes = lists.userExt;

    if (m_ctx.host)
        m_ctx.host->SaveMenuShortcuts();
    if (tsTools)
        tsTools->tools().Save(*m_store);
    try {
        SaveSettings(*m_store, st, m_ctx.target, &lists);
    } catch (const platform::FileWriteError& e) {
        // The dialog stays open: the user may try again or cancel, which goes back
        // to what the store still holds.
        m_ctx.prompter.error(e.what(), "Error");
        return;
    }
    if (m_ctx.host)
        m_ctx.host->ApplyConfirmedOptions(st);
    QDialog::accept();
}

void TOptionsForm::reject() {
    LoadSettings(*m_store, m_ctx.settings, m_ctx.environment, m_ctx.target);
    m_ctx.settings.WatchDogOperations = LoadWatchDogOperations(*m_store);
    m_ctx.settings.LogDrivesAtStartup = LoadLogDrivesAtStartup(*m_store);
    if (m_ctx.host)
        m_ctx.host->ReloadMenuShortcuts();
    QDialog::reject();
}

// --- General ---------------------------------------------------------------------------

void TOptionsForm::cbQuickViewClick() {
    cbAutoPlay->setEnabled(cbQuickView->isChecked());
}

void TOptionsForm::cbShellExtClick(bool checked) {
    if (checked) {
        try {
            platform::WriteShellIntegration(m_ctx.executablePath);
        } catch (const platform::FileWriteError& e) {
            const QSignalBlocker block(cbShellExt);
            cbShellExt->setChecked(false);
            m_ctx.prompter.error(e.what(), "Error");
        }
    } else if (!platform::RemoveShellIntegration()) {
        const QSignalBlocker block(cbShellExt);
        cbShellExt->setChecked(true);
        m_ctx.prompter.error("Cannot remove " + platform::ShellIntegrationFile(), "Error");
    }
}

// --- Disks -----------------------------------------------------------------------------

void TOptionsForm::btnDrivesSelectAllClick(bool check) {
    for (int i = 0; i < lbLogDrives->count(); ++i)
        lbLogDrives->item(i)->setCheckState(check ? Qt::Checked : Qt::Unchecked);
}

// --- Extensions ------------------------------------------------------------------------

void TOptionsForm::updateExtButtons() {
    const bool both = !edExtDescription->text().isEmpty() && !edExtSpecification->text().isEmpty();
    btnExtAdd->setEnabled(both);
    btnExtModify->setEnabled(both);
}

void TOptionsForm::btnExtAddClick() {
    std::vector<std::string> types;
    for (int i = 0; i < lbUserExt->count(); ++i)
        types.push_back(s(lbUserExt->item(i)->text()));
    const std::string description = s(edExtDescription->text());
    const std::string specification = s(edExtSpecification->text());
    if (description.empty() || specification.empty())
        return;
    if (!AddUserFileType(types, description, specification)) {
        m_ctx.prompter.beep();
        return;
    }
    lbUserExt->addItem(q(types.back()));
    edExtDescription->clear();
    edExtSpecification->clear();
}

void TOptionsForm::btnExtModifyClick() {
    const std::string description = s(edExtDescription->text());
    const std::string specification = s(edExtSpecification->text());
    if (description.empty() || specification.empty())
        return;
    const QString entry = q(MakeUserFileType(description, specification));
    for (QListWidgetItem* item : lbUserExt->selectedItems())
        item->setText(entry);
}

void TOptionsForm::btnExtDeleteClick() {
    qDeleteAll(lbUserExt->selectedItems());
}

void TOptionsForm::lbUserExtClick() {
    QListWidgetItem* item = lbUserExt->currentItem();
    if (!item || !item->isSelected())
        return;
    const UserFileTypeParts parts = SplitUserFileType(s(item->text()));
    edExtDescription->setText(q(WithoutParentheses(parts.description)));
    edExtSpecification->setText(q(parts.specification));
}

// --- Delete ----------------------------------------------------------------------------

void TOptionsForm::btnEmptyRecycleBinClick() {
    if (!CheckCompatibility(kCompatibilityMedium, m_ctx.settings, m_ctx.prompter))
        return;
    const int items = platform::HomeTrashItemCount();
    if (items == 0) {
        m_ctx.prompter.inform("The recycle bin is empty.     ");
        return;
    }
    if (!m_ctx.prompter.askYesNo("Delete the " + std::to_string(items) +
                                 " item(s) in the recycle bin for good?     "))
        return;
    if (!platform::EmptyTrash())
        m_ctx.prompter.warn("Some items could not be removed from the recycle bin!     ");
}

void TOptionsForm::recycleBinMenu(const QPoint& globalPos) {
    if (!CheckCompatibility(kCompatibilityMedium, m_ctx.settings, m_ctx.prompter))
        return;
    QMenu menu(this);
    menu.addAction("&Open", this, [] { platform::OpenTrashWindow(); });
    menu.addAction("&Empty recycle bin", this, &TOptionsForm::btnEmptyRecycleBinClick);
    menu.exec(globalPos);
}

bool TOptionsForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == imgRecycleBin) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            if (CheckCompatibility(kCompatibilityMedium, m_ctx.settings, m_ctx.prompter))
                platform::OpenTrashWindow();
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            recycleBinMenu(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// --- Sounds ----------------------------------------------------------------------------

void TOptionsForm::btnPlaySoundClick() {
    if (QListWidgetItem* item = lbSounds->currentItem())
        platform::PlaySystemSound(s(item->text()));
}

void TOptionsForm::btnChooseSoundClick() {
    if (QListWidgetItem* item = lbSounds->currentItem()) {
        m_ctx.settings.ChosenSound = s(item->text());
        lbChosenSound->setText(item->text());
    }
}

// --- WatchDog --------------------------------------------------------------------------

void TOptionsForm::updateWDEnabled() {
    bool any = false;
    for (int i = 0; i < lbWatchDog->count(); ++i)
        any = any || lbWatchDog->item(i)->checkState() == Qt::Checked;
    cbWDEnabled->setEnabled(any);
    if (!any)
        cbWDEnabled->setChecked(false);
}

void TOptionsForm::btnWDSelectAllClick(bool check) {
    {
        const QSignalBlocker block(lbWatchDog);
        for (int i = 0; i < lbWatchDog->count(); ++i)
            lbWatchDog->item(i)->setCheckState(check ? Qt::Checked : Qt::Unchecked);
    }
    updateWDEnabled();
}

QString TOptionsForm::hostPathOf(const std::string& path) const {
    const auto host = HostPathOf(path, m_ctx.drives);
    return host ? q(*host) : QString();
}

QString TOptionsForm::watchDogLogPath() const {
    QString dir = hostPathOf(m_wdFilePath);
    if (dir.isEmpty())
        return {};
    if (!dir.endsWith('/'))
        dir += '/';
    return dir + "WATCHDOG.LOG";
}

void TOptionsForm::updateWDFileButtons() {
    const QString log = watchDogLogPath();
    const bool exists = !log.isEmpty() && QFileInfo(log).isFile();
    btnViewWDFile->setEnabled(exists);
    btnRemoveWDFile->setEnabled(exists);
}

void TOptionsForm::btnWDBrowseClick() {
    QString start = hostPathOf(m_wdFilePath);
    if (start.isEmpty())
        start = hostPathOf(m_ctx.settings.WindowsDir);
    const QString chosen = m_chooseDirectory(start);
    if (chosen.isEmpty())
        return;
    // Only a directory that can be entered is taken.
    const QFileInfo info(chosen);
    if (!info.isDir() || !info.isExecutable())
        return;
    m_wdFilePath = DirectoryForSettings(s(QDir::cleanPath(info.absoluteFilePath())), m_ctx.drives);
    lbWDFilePath->setText(q(m_wdFilePath));
    updateWDFileButtons();
}

void TOptionsForm::btnViewWDFileClick() {
    const QString log = watchDogLogPath();
    if (log.isEmpty() || !QFileInfo(log).isFile() || !m_viewFile(log))
        m_ctx.prompter.warn(kWDViewError);
}

void TOptionsForm::btnRemoveWDFileClick() {
    const QString log = watchDogLogPath();
    if (!log.isEmpty() && QFileInfo(log).isFile() && QFile::remove(log)) {
        m_ctx.prompter.warn(kWDRemoved);
        btnViewWDFile->setEnabled(false);
        btnRemoveWDFile->setEnabled(false);
    } else {
        m_ctx.prompter.warn(kWDRemoveFailed);
    }
}

// --- Viewer/Editor ---------------------------------------------------------------------

void TOptionsForm::showProgram(bool editor) {
    const std::string& program =
        editor ? m_ctx.settings.AssociatedFileEditor : m_ctx.settings.AssociatedFileViewer;
    QLabel* path = editor ? lbEditorPath : lbViewerPath;
    QLabel* desc = editor ? lbEditorDesc : lbViewerDesc;
    QLabel* icon = editor ? imgEditorIcon : imgViewerIcon;
    path->setText(q(program));

    const QString host = hostPathOf(program);
    std::string description = host.isEmpty() ? std::string() : VersionResourceDescription(s(host));
    if (description.empty()) {
        const size_t sep = program.find_last_of("\\/");
        description = sep == std::string::npos ? program : program.substr(sep + 1);
    }
    desc->setText(q(description));

    QIcon picture;
    if (!host.isEmpty() && QFileInfo::exists(host))
        picture = QFileIconProvider().icon(QFileInfo(host));
    if (picture.isNull())
        picture = QIcon::fromTheme("application-x-executable");
    if (picture.isNull())
        picture = style()->standardIcon(QStyle::SP_FileIcon);
    icon->setPixmap(picture.pixmap(32, 32));
}

void TOptionsForm::btnBrowseEditorClick() {
    const QString chosen =
        m_chooseFile("Searching for editor ...", hostPathOf(m_ctx.settings.AssociatedFileEditor));
    if (chosen.isEmpty())
        return;
    const auto cat = m_ctx.drives.ToCataloguePath(s(chosen), false);
    m_ctx.settings.AssociatedFileEditor = cat ? *cat : s(chosen);
    showProgram(true);
}

void TOptionsForm::btnBrowseViewerClick() {
    const QString chosen =
        m_chooseFile("Searching for viewer ...", hostPathOf(m_ctx.settings.AssociatedFileViewer));
    if (chosen.isEmpty())
        return;
    const auto cat = m_ctx.drives.ToCataloguePath(s(chosen), false);
    m_ctx.settings.AssociatedFileViewer = cat ? *cat : s(chosen);
    showProgram(false);
}

} // namespace zentrix
