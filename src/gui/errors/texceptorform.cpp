#include "gui/errors/texceptorform.h"

#include "errors/errorlog.h"
#include "gui/controls/a11y.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <cstdlib>

namespace zentrix {
namespace {

void makeRedBold(QLabel* label) {
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(palette);
}

} // namespace

TExceptorForm::TExceptorForm(const ErrorReport& report, const QString& logProblem, QWidget* parent,
                             const QString& logPath)
    : QDialog(parent), m_terminate([] { std::_Exit(EXIT_FAILURE); }) {
    setObjectName("ExceptorForm");
    setWindowTitle("Shit happens... Don't panic!");
    setAccessibleName("Error report");
    setModal(true);
    const bool fatal = report.group == ErrorGroup::Fatal;

    auto* layout = new QVBoxLayout(this);
    lbHeading = new QLabel("KaBoom?!?", this);
    lbHeading->setAlignment(Qt::AlignHCenter);
    makeRedBold(lbHeading);
    QFont big = lbHeading->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    lbHeading->setFont(big);
    NameComponent(lbHeading, "lbHeading", "KaBoom?!?");
    layout->addWidget(lbHeading);

    lbIntro = new QLabel("System just caused an unexpected error with message:", this);
    NameComponent(lbIntro, "lbIntro", lbIntro->text());
    layout->addWidget(lbIntro);

    lb_Error = new QLabel(QString::fromStdString(report.message), this);
    lb_Error->setTextFormat(Qt::PlainText); // messages carry paths
    lb_Error->setWordWrap(true);
    lb_Error->setTextInteractionFlags(Qt::TextSelectableByMouse);
    makeRedBold(lb_Error);
    NameComponent(lb_Error, "lb_Error", "Error message: " + lb_Error->text());
    layout->addWidget(lb_Error);

    const QString log =
        logPath.isEmpty() ? QString::fromStdString(ErrorLog::DefaultPath()) : logPath;
    lbContact = new QLabel("If this keeps happening, please tell Morvane support what you were "
                           "doing; " +
                               log + " lists every error.",
                           this);
    lbContact->setWordWrap(true);
    NameComponent(lbContact, "lbContact", lbContact->text());
    layout->addWidget(lbContact);

    lb_errtype =
        new QLabel(fatal ? "Error is probably FATAL." : "Error is probably not fatal.", this);
    makeRedBold(lb_errtype);
    NameComponent(lb_errtype, "lb_errtype", lb_errtype->text());

    imgVenec = new QLabel(this);
    imgVenec->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(64, 64));
    NameComponent(imgVenec, "imgVenec", "Fatal error picture");
    imgVenec->setVisible(fatal);
    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(lb_errtype, 1);
    typeRow->addWidget(imgVenec);
    layout->addLayout(typeRow);

    lbLogProblem = new QLabel(logProblem, this);
    lbLogProblem->setTextFormat(Qt::PlainText);
    lbLogProblem->setWordWrap(true);
    NameComponent(lbLogProblem, "lbLogProblem", logProblem);
    lbLogProblem->setVisible(!logProblem.isEmpty());
    layout->addWidget(lbLogProblem);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btn_OK = new QPushButton("&OK", this);
    btn_OK->setDefault(true);
    NameComponent(btn_OK, "btn_OK", "OK");
    btnTerminate = new QPushButton("&Terminate", this);
    NameComponent(btnTerminate, "btnTerminate", "Terminate the program");
    btnHelp = new QPushButton("&Help", this);
    NameComponent(btnHelp, "btnHelp", "Help");
    buttons->addWidget(btn_OK);
    buttons->addWidget(btnTerminate);
    buttons->addWidget(btnHelp);
    layout->addLayout(buttons);

    connect(btn_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnTerminate, &QPushButton::clicked, this, &TExceptorForm::btnTerminateClick);
    connect(btnHelp, &QPushButton::clicked, this, &TExceptorForm::btnHelpClick);
}

void TExceptorForm::showEvent(QShowEvent* event) {
    QApplication::beep();
    QDialog::showEvent(event);
}

void TExceptorForm::btnTerminateClick() {
    if (m_terminate)
        m_terminate();
}

void TExceptorForm::btnHelpClick() {
    if (m_help)
        m_help(kHelpContext);
}

} // namespace zentrix
