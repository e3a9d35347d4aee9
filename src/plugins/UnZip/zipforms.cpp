#include "zipforms.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zentrix::unzip {

RunProgress::RunProgress(const QString& title, QWidget* parent)
    : m_dialog(new QProgressDialog(title, "Cancel", 0, 1000, parent)) {
    m_dialog->setObjectName("ZipProgress");
    m_dialog->setWindowTitle(title);
    m_dialog->setMinimumDuration(300);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
}

RunProgress::~RunProgress() {
    delete m_dialog;
}

ProgressCallback RunProgress::callback() {
    return [this](const std::string& name, int64_t done, int64_t total) {
        const auto now = std::chrono::steady_clock::now();
        if (now - m_last >= std::chrono::milliseconds(40)) {
            m_last = now;
            m_dialog->setLabelText(QString::fromStdString(name));
            m_dialog->setValue(
                total > 0 ? static_cast<int>(std::min<int64_t>(1000, done * 1000 / total)) : 0);
            QCoreApplication::processEvents();
        }
        return !m_dialog->wasCanceled();
    };
}

void ShowReport(const QString& title, const QString& summary, const RunReport& report,
                QWidget* parent) {
    QDialog dialog(parent);
    dialog.setObjectName("ZipReport");
    dialog.setWindowTitle(title);
    dialog.resize(520, 360);
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(summary, &dialog);
    label->setObjectName("lbReportSummary");
    layout->addWidget(label);
    auto* text = new QPlainTextEdit(&dialog);
    text->setObjectName("meReport");
    text->setReadOnly(true);
    QStringList lines;
    for (const std::string& line : report.lines)
        lines << QString::fromStdString(line);
    text->setPlainText(lines.join('\n'));
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.exec();
}

TZipForm::TZipForm(const QString& archivePath, std::vector<ZipEntry> entries, QWidget* parent)
    : QDialog(parent), m_path(archivePath), m_entries(std::move(entries)) {
    setObjectName("TZipForm");
    setWindowTitle(archivePath);
    resize(640, 420);
    auto* layout = new QVBoxLayout(this);
    lvEntries = new QTreeWidget(this);
    lvEntries->setObjectName("lvEntries");
    lvEntries->setAccessibleName("Archive entries");
    lvEntries->setRootIsDecorated(false);
    lvEntries->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvEntries->setHeaderLabels({"Name", "Size", "Packed", "Date", "Method"});
    const QLocale locale;
    int64_t total = 0;
    for (const ZipEntry& e : m_entries) {
        auto* item = new QTreeWidgetItem(lvEntries);
        item->setText(0, QString::fromStdString(e.name));
        item->setText(1, e.size >= 0 ? locale.toString(static_cast<qlonglong>(e.size)) : QString());
        item->setText(2, e.packed >= 0 ? locale.toString(static_cast<qlonglong>(e.packed))
                                       : QString());
        item->setText(
            3, locale.toString(QDateTime::fromSecsSinceEpoch(e.modified), QLocale::ShortFormat));
        item->setText(4, QString::fromStdString(e.method));
        item->setTextAlignment(1, Qt::AlignRight);
        item->setTextAlignment(2, Qt::AlignRight);
        total += std::max<int64_t>(0, e.size);
    }
    lvEntries->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    layout->addWidget(lvEntries, 1);
    lbSummary = new QLabel(QString("%1 entries, %2 bytes")
                               .arg(m_entries.size())
                               .arg(locale.toString(static_cast<qlonglong>(total))),
                           this);
    lbSummary->setObjectName("lbSummary");
    layout->addWidget(lbSummary);
    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        buttons->addWidget(b);
        return b;
    };
    connect(button("btnExtractSelected", "Extract &selected ..."), &QPushButton::clicked, this,
            &TZipForm::ExtractSelected);
    connect(button("btnExtractAll", "Extract &all ..."), &QPushButton::clicked, this,
            &TZipForm::ExtractAll);
    connect(button("btnTest", "&Test"), &QPushButton::clicked, this, &TZipForm::TestArchiveClick);
    buttons->addStretch(1);
    connect(button("btnClose", "Close"), &QPushButton::clicked, this, &QDialog::accept);
    layout->addLayout(buttons);
}

RunReport TZipForm::ExtractTo(const QString& directory, bool selectedOnly) {
    std::vector<std::string> only;
    if (selectedOnly) {
        for (QTreeWidgetItem* item : lvEntries->selectedItems())
            only.push_back(
                m_entries[static_cast<size_t>(lvEntries->indexOfTopLevelItem(item))].name);
        if (only.empty())
            return {};
    }
    RunProgress progress("Extracting ...", this);
    const ReplaceQuestion replace = [this](const std::string& name) {
        return QMessageBox::question(
                   this, "Confirm",
                   QString("%1 exists already. Replace it?").arg(QString::fromStdString(name))) ==
               QMessageBox::Yes;
    };
    return ExtractArchive(m_path.toStdString(), directory.toStdString(), only, replace,
                          progress.callback());
}

void TZipForm::ExtractSelected() {
    if (lvEntries->selectedItems().isEmpty())
        return;
    const QString dir = QFileDialog::getExistingDirectory(this, "Extract to");
    if (dir.isEmpty())
        return;
    const RunReport report = ExtractTo(dir, true);
    if (!report.ok || report.stopped)
        ShowReport("Extract", "Some entries were not extracted.", report, this);
}

void TZipForm::ExtractAll() {
    const QString dir = QFileDialog::getExistingDirectory(this, "Extract to");
    if (dir.isEmpty())
        return;
    const RunReport report = ExtractTo(dir, false);
    if (!report.ok || report.stopped)
        ShowReport("Extract", "Some entries were not extracted.", report, this);
}

void TZipForm::TestArchiveClick() {
    RunProgress progress("Testing ...", this);
    const RunReport report = TestArchive(m_path.toStdString(), progress.callback());
    ShowReport("Test", report.ok ? "No errors found." : "Errors found.", report, this);
}

} // namespace zentrix::unzip
