#include "zipforms.h"

#include "gui/controls/plainmessagebox.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <thread>

namespace zentrix::unzip {

RunProgress::RunProgress(const QString& title, QWidget* parent)
    : m_dialog(new QProgressDialog(parent)) {
    m_dialog->setObjectName("ZipProgress");
    m_dialog->setWindowTitle(title);
    // Entry names are shown as they are, never as markup.
    auto* label = new QLabel(title, m_dialog);
    label->setTextFormat(Qt::PlainText);
    m_dialog->setLabel(label);
    m_dialog->setCancelButtonText("Cancel");
    m_dialog->setRange(0, 1000);
    m_dialog->setMinimumDuration(300);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    QObject::connect(m_dialog, &QProgressDialog::canceled, m_dialog,
                     [this] { m_cancelled = true; });
    m_dialog->reset(); // shown by the first report that comes after 300 ms, not before
    m_dialog->hide();
}

RunProgress::~RunProgress() {
    delete m_dialog;
}

void RunProgress::show() {
    std::string name;
    int64_t done = 0, total = 0;
    {
        std::lock_guard lock(m_mutex);
        name = m_name;
        done = m_done;
        total = m_total;
    }
    if (!name.empty())
        m_dialog->setLabelText(QString::fromStdString(name));
    m_dialog->setValue(
        total > 0 ? static_cast<int>(std::clamp<int64_t>(done * 1000 / total, 0, 1000)) : 0);
}

void RunProgress::run(const std::function<void(const ProgressCallback&)>& work) {
    const ProgressCallback callback = [this](const std::string& name, int64_t done, int64_t total) {
        {
            std::lock_guard lock(m_mutex);
            m_name = name;
            m_done = done;
            m_total = total;
        }
        return !m_cancelled;
    };
    QEventLoop loop;
    std::atomic<bool> finished{false};
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work(callback);
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    QTimer timer;
    timer.setInterval(40);
    QObject::connect(&timer, &QTimer::timeout, m_dialog, [this] { show(); });
    timer.start();
    if (!finished)
        loop.exec();
    worker.join();
    timer.stop();
    // Done: the window goes, and does not come up later on its own.
    m_dialog->reset();
    m_dialog->hide();
    if (failure)
        std::rethrow_exception(failure);
}

bool RunProgress::ask(const std::function<bool()>& question) {
    bool answer = false;
    QMetaObject::invokeMethod(
        m_dialog, [&] { answer = question(); }, Qt::BlockingQueuedConnection);
    return answer;
}

void ShowReport(const QString& title, const QString& summary, const RunReport& report,
                QWidget* parent) {
    QDialog dialog(parent);
    dialog.setObjectName("ZipReport");
    dialog.setWindowTitle(title);
    dialog.resize(520, 360);
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(summary, &dialog);
    label->setTextFormat(Qt::PlainText);
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
        // The alignment goes in as a plain int: a Qt::Alignment value would register its
        // type from this library, and Qt's type registry would point into freed code once
        // the library is unloaded after the call, so the next archive opened would crash.
        item->setData(1, Qt::TextAlignmentRole, static_cast<int>(Qt::AlignRight));
        item->setData(2, Qt::TextAlignmentRole, static_cast<int>(Qt::AlignRight));
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
    const ReplaceQuestion replace = [this, &progress](const std::string& name) {
        return progress.ask([this, &name] {
            return PlainQuestion(
                this, "Confirm",
                QString("%1 exists already. Replace it?").arg(QString::fromStdString(name)));
        });
    };
    RunReport report;
    const std::string archive = m_path.toStdString();
    const std::string target = directory.toStdString();
    progress.run([&](const ProgressCallback& callback) {
        report = ExtractArchive(archive, target, only, replace, callback);
    });
    return report;
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
    RunReport report;
    const std::string archive = m_path.toStdString();
    progress.run(
        [&](const ProgressCallback& callback) { report = TestArchive(archive, callback); });
    ShowReport("Test", report.ok ? "No errors found." : "Errors found.", report, this);
}

} // namespace zentrix::unzip
