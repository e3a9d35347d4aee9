#include "gui/tagging/taggingcontroller.h"

#include "catalogue/catalogue.h"
#include "core/plugincalls.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/tagging/tfileattrpage.h"
#include "gui/tagging/tspectagform.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStackedWidget>

namespace zentrix {
namespace {

void sendDownKey(QWidget* target) {
    if (!target)
        return;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

} // namespace

TaggingController::TaggingController(Catalogue& catalogue, AppState& state, Settings& settings,
                                     FileWindow& fileWindow, Prompter& prompter,
                                     PluginCalls& plugins, QWidget* parent)
    : QObject(parent),
      m_model(std::make_unique<Tagging>(catalogue, state, settings, fileWindow, prompter)),
      m_plugins(plugins), m_cat(catalogue), m_owner(parent) {
    setObjectName("TaggingController");
    m_model->SetUi(this);
    m_page = new TFileAttrPage(parent);
    m_page->hide();
    connect(m_page, &TFileAttrPage::okClicked, this, &TaggingController::pageOk);
    connect(m_page, &TFileAttrPage::cancelClicked, this,
            [this] { m_model->AttributePageCancel(); });
    for (auto& [name, handler] : m_model->Commands())
        m_commands.emplace(name, std::move(handler));
}

TaggingController::~TaggingController() {
    m_model->SetUi(nullptr);
    if (m_page && !m_page->parent())
        delete m_page.data();
}

void TaggingController::moveToNextEntry() {
    sendDownKey(m_fileList);
}

void TaggingController::moveToNextDirectory() {
    sendDownKey(m_tree);
}

bool TaggingController::runSpecTagForm(const std::string& caption, std::string& selectionSpec) {
    QWidget* owner = m_owner;
    return TSpecTagForm::Execute(
        QString::fromStdString(caption), selectionSpec,
        [this, owner](const std::string& current) {
            return m_plugins.CallExtendedFileSpec(m_cat.UserFileTypes, current, owner);
        },
        owner);
}

QStackedWidget* TaggingController::pageControl() const {
    return m_page ? qobject_cast<QStackedWidget*>(m_page->parentWidget()) : nullptr;
}

void TaggingController::showAttributePage(const std::string& caption) {
    if (!m_page)
        return;
    m_page->setCaption(QString::fromStdString(caption));
    m_strip.Show(pageControl(), m_page);
    emit commandPageShown(m_page);
    m_page->hbFilesAttrHistory->setFocus(Qt::OtherFocusReason);
    if (QLineEdit* edit = m_page->hbFilesAttrHistory->lineEdit())
        edit->selectAll();
}

void TaggingController::closeAttributePage() {
    if (!m_page || !m_strip.Up())
        return;
    m_strip.Close(pageControl());
    emit commandPageClosed();
}

void TaggingController::ResetAttributePage() {
    m_model->SetAttributeMode(0);
    closeAttributePage();
}

void TaggingController::addAttributeHistory(const std::string& text) {
    if (!m_page)
        return;
    m_page->hbFilesAttrHistory->setEditText(QString::fromStdString(text));
    m_page->hbFilesAttrHistory->Save();
}

bool TaggingController::fileWindowEnabled() const {
    return m_fileList && m_fileList->isEnabled();
}

void TaggingController::pageOk(const QString& text) {
    if (m_model->AttributePageOK(text.toStdString()))
        return;
    // Mode 0: the page serves the attribute change.
    if (OK_FileAttributes)
        OK_FileAttributes(text.toStdString());
}

} // namespace zentrix
