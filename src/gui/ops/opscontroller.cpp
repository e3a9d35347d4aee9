#include "gui/ops/opscontroller.h"

#include "catalogue/catalogue.h"
#include "catalogue/treecommands.h"
#include "core/plugincalls.h"
#include "filewindow/tagging.h"
#include "gui/controls/a11y.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/ops/qtdatetimetexts.h"
#include "gui/ops/tcommandprompt.h"
#include "gui/tagging/taggingcontroller.h"
#include "gui/tagging/tfileattrpage.h"
#include "ops/twdlist.h"
#include "platform/apppaths.h"
#include "platform/drivetable.h"

#include <QCalendarWidget>
#include <QFrame>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTime>
#include <QToolButton>
#include <QVBoxLayout>

namespace zentrix {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

OpsController::OpsController(Catalogue& catalogue, AppState& state, FileWindow& fileWindow,
                             Prompter& prompter, Progress& progress, TWDList& watchDog,
                             CatalogueUi& ui, PluginCalls& plugins, TaggingController& tagging,
                             QWidget* parent)
    : QObject(parent), m_dates(std::make_unique<QtDateTimeTexts>()),
      m_model(std::make_unique<FileChanges>(catalogue, state, fileWindow, prompter, progress,
                                            watchDog, *m_dates, ui)),
      m_cat(catalogue), m_plugins(plugins), m_tagging(tagging), m_wd(watchDog), m_owner(parent) {
    setObjectName("OpsController");
    m_model->SetUi(this);
    // The program itself is protected wherever it lives.
    m_wd.SetProgramPath(catalogue.Drives()
                            .ToCataloguePath(platform::AppPaths::ExecutablePath(), false)
                            .value_or(""));

    m_renameFile = new TCommandPrompt("ts_FC_RenameFile", "Rename file page", "RenameFile",
                                      "hbRenameFile1", parent);
    m_renameTagged = new TCommandPrompt("ts_FC_RenameTagged", "Rename tagged files page",
                                        "RenameTagged", "hbRenameFile2", parent);
    for (TCommandPrompt* p : {m_renameFile.data(), m_renameTagged.data()}) {
        p->addToolButton("Ext", "...", "Extended file specifications ...");
        p->addToolButton("Case", "Aa", "Uppercase/Lowercase/Capitalize ...");
        connect(p, &TCommandPrompt::toolRequested, this, [this, p](int index) {
            if (index == 0)
                extendedFileSpec(p);
            else
                cycleCase(p);
        });
    }
    m_dateTime = new TCommandPrompt("ts_FC_DateTime", "New date and time page", "DateTime",
                                    "hbDateTime", parent);
    m_dateTime->addToolButton("Select", "...", "Select date ...");
    connect(m_dateTime, &TCommandPrompt::toolRequested, this, [this] { showCalendar(); });

    connect(m_renameFile, &TCommandPrompt::okClicked, this,
            [this](const QString& text) { m_model->OK_RenameSingleFile(text.toStdString()); });
    connect(m_renameTagged, &TCommandPrompt::okClicked, this,
            [this](const QString& text) { m_model->OK_RenameTaggedFiles(text.toStdString()); });
    connect(m_dateTime, &TCommandPrompt::okClicked, this,
            [this](const QString& text) { m_model->OK_NewDate(text.toStdString()); });
    connect(m_renameFile, &TCommandPrompt::cancelClicked, this,
            [this] { m_model->PromptCancelled(ChangePrompt::RenameFile); });
    connect(m_renameTagged, &TCommandPrompt::cancelClicked, this,
            [this] { m_model->PromptCancelled(ChangePrompt::RenameTagged); });
    connect(m_dateTime, &TCommandPrompt::cancelClicked, this,
            [this] { m_model->PromptCancelled(ChangePrompt::DateTime); });
    for (TCommandPrompt* p : {m_renameFile.data(), m_renameTagged.data(), m_dateTime.data()})
        p->hide();

    // The attributes page serves the change while the tagging model is in mode 0.
    m_tagging.OK_FileAttributes = [this](const std::string& text) {
        m_model->OK_FileAttributes(text);
    };
    for (auto& [name, handler] : m_model->Commands())
        m_commands.emplace(name, std::move(handler));
}

OpsController::~OpsController() {
    m_tagging.OK_FileAttributes = nullptr;
    m_model->SetUi(nullptr);
    delete m_calendarFrame.data();
    // Pages nobody took in go with the controller.
    for (TCommandPrompt* p : {m_renameFile.data(), m_renameTagged.data(), m_dateTime.data()})
        if (p && !m_control)
            delete p;
}

void OpsController::installPages(QStackedWidget* control) {
    m_control = control;
    for (TCommandPrompt* p : {m_renameFile.data(), m_renameTagged.data(), m_dateTime.data()})
        control->addWidget(p);
}

void OpsController::attachTree(TreeCommands& tree) {
    // The WatchDog outlives this controller: the hook holds it, not `this`.
    TWDList& wd = m_wd;
    tree.IsProtectedDirectory = [&wd](const std::string& path) {
        return wd.IsProtectedDirectory(path);
    };
}

TCommandPrompt* OpsController::page(ChangePrompt prompt) const {
    switch (prompt) {
    case ChangePrompt::RenameFile:
        return m_renameFile;
    case ChangePrompt::RenameTagged:
        return m_renameTagged;
    case ChangePrompt::DateTime:
        return m_dateTime;
    case ChangePrompt::Attributes:
        break;
    }
    return nullptr;
}

void OpsController::showPrompt(ChangePrompt prompt, const std::string& caption,
                               const std::optional<std::string>& text) {
    if (prompt == ChangePrompt::Attributes) {
        m_tagging.model().SetAttributeMode(0);
        m_tagging.showAttributePage(caption);
        return;
    }
    TCommandPrompt* p = page(prompt);
    if (!p)
        return;
    p->setCaption(q(caption));
    if (text)
        p->setText(q(*text));
    m_strip.Show(m_control, p);
    p->hbBox->setFocus(Qt::OtherFocusReason);
    if (QLineEdit* edit = p->hbBox->lineEdit())
        edit->selectAll();
}

void OpsController::closePrompt(ChangePrompt prompt) {
    if (prompt == ChangePrompt::Attributes) {
        m_tagging.closeAttributePage();
        return;
    }
    if (m_calendarFrame)
        m_calendarFrame->close();
    m_strip.Close(m_control);
}

void OpsController::addHistory(ChangePrompt prompt, const std::string& text) {
    if (prompt == ChangePrompt::Attributes) {
        m_tagging.addAttributeHistory(text);
        return;
    }
    if (TCommandPrompt* p = page(prompt)) {
        p->hbBox->setEditText(q(text));
        p->hbBox->Save();
    }
}

void OpsController::extendedFileSpec(TCommandPrompt* p) {
    if (const auto spec = m_plugins.CallExtendedFileSpec(m_cat.UserFileTypes,
                                                         p->text().toStdString(), m_owner.data()))
        p->setText(q(*spec));
    p->hbBox->setFocus(Qt::OtherFocusReason);
}

void OpsController::cycleCase(TCommandPrompt* p) {
    const QString text = q(m_model->CycleCase(p->text().toStdString()));
    p->hbBox->setEditText(text);
    p->hbBox->setFocus(Qt::OtherFocusReason);
}

void OpsController::showCalendar() {
    if (m_calendarFrame) {
        m_calendarFrame->close();
        return;
    }
    const QLocale locale;
    THistoryComboBox* box = m_dateTime->hbBox;
    auto* frame = new QFrame(box, Qt::Popup);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(1, 1, 1, 1);
    auto* calendar = new QCalendarWidget(frame);
    NameComponent(calendar, "DateTimeCalendar", "Select date");
    calendar->setLocale(locale);
    layout->addWidget(calendar);
    const QString text = box->currentText();
    calendar->setSelectedDate(
        QtDateTimeTexts::DatePart(text, locale).value_or(QDate::currentDate()));
    // The chosen date goes into the box with the time the box had (midnight
    // when it had none).
    auto choose = [this, box, frame](const QDate& date) {
        QTime time(0, 0);
        if (const auto current = m_dates->Parse(box->currentText().toStdString()))
            time = QTime(current->hour, current->minute, current->second);
        box->setEditText(QtDateTimeTexts::DateTimeText(date, time, QLocale()));
        frame->close();
        box->setFocus(Qt::OtherFocusReason);
    };
    connect(calendar, &QCalendarWidget::clicked, frame, choose);
    connect(calendar, &QCalendarWidget::activated, frame, choose);
    m_calendarFrame = frame;
    m_calendar = calendar;
    frame->adjustSize();
    frame->move(box->mapToGlobal(QPoint(0, box->height())));
    frame->show();
    calendar->setFocus(Qt::PopupFocusReason);
}

} // namespace zentrix
