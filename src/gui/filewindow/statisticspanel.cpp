#include "gui/filewindow/statisticspanel.h"

#include "filewindow/filewindow.h"
#include "gui/controls/a11y.h"
#include "gui/filewindow/a11yname.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace zentrix {
namespace {

// A label that shows a figure: screen readers hear the caption with it.
QLabel* makeLabel(QWidget* parent, const char* name, const char* caption) {
    auto* l = new QLabel(parent);
    NameValueLabel(l, name, caption);
    l->setTextInteractionFlags(Qt::NoTextInteraction);
    return l;
}

} // namespace

StatisticsPanel::StatisticsPanel(QWidget* parent) : QFrame(parent) {
    SetComponentName(this, "pnStatistics");
    setAccessibleName("File statistics");
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(2, 2, 2, 2);
    m_layout->setSpacing(4);

    // "File Spec:" with its buttons, then the box.
    pnFileSpec = new QFrame(this);
    SetComponentName(pnFileSpec, "pnFileSpec");
    pnFileSpec->setAccessibleName("File specification inversion");
    pnFileSpec->setToolTip("Click to invert file specifications ...");
    pnFileSpec->setFrameShape(QFrame::Panel);
    pnFileSpec->setFrameShadow(QFrame::Sunken);
    pnFileSpec->setAutoFillBackground(true);
    auto* specRow = new QHBoxLayout(pnFileSpec);
    specRow->setContentsMargins(4, 1, 1, 1);
    lbFileSpec = new QLabel("File Spec:", pnFileSpec);
    lbFileSpec->setObjectName("lbFileSpec");
    specRow->addWidget(lbFileSpec, 1);
    sbDefaultFSpec = new QToolButton(pnFileSpec);
    SetComponentName(sbDefaultFSpec, "sbDefaultFSpec");
    sbDefaultFSpec->setText("*.*");
    sbDefaultFSpec->setAccessibleName("Default file specification");
    sbDefaultFSpec->setToolTip("Default file specification ... (*.*)");
    sbDefaultFSpec->setFocusPolicy(Qt::NoFocus);
    specRow->addWidget(sbDefaultFSpec);
    sbExtFileSpec = new QToolButton(pnFileSpec);
    SetComponentName(sbExtFileSpec, "sbExtFileSpec");
    sbExtFileSpec->setText(QString::fromUtf8("\xE2\x80\xA6"));
    sbExtFileSpec->setAccessibleName("Extended file specifications");
    sbExtFileSpec->setToolTip("Extended file specifications ...");
    sbExtFileSpec->setFocusPolicy(Qt::NoFocus);
    specRow->addWidget(sbExtFileSpec);
    pnFileSpec->installEventFilter(this);
    lbFileSpec->installEventFilter(this);
    m_layout->addWidget(pnFileSpec);

    auto* box = new QComboBox(this);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(20);
    box->setEditText("*.*");
    setFileSpecBox(box);

    // The current file.
    pnCurFile = new QFrame(this);
    SetComponentName(pnCurFile, "pnCurFile");
    pnCurFile->setAccessibleName("Current file");
    pnCurFile->setFrameShape(QFrame::StyledPanel);
    auto* cur = new QVBoxLayout(pnCurFile);
    cur->setContentsMargins(2, 2, 2, 2);
    cur->setSpacing(1);
    lbCurrFilePos = makeLabel(pnCurFile, "lbCurrFilePos", "Position");
    lbCurrFileNm = makeLabel(pnCurFile, "lbCurrFileNm", "Name");
    lbCurrFileSize = makeLabel(pnCurFile, "lbCurrFileSize", "Size");
    lbCurrFileDate = makeLabel(pnCurFile, "lbCurrFileDate", "Date");
    lbCurrFileDesc = makeLabel(pnCurFile, "lbCurrFileDesc", "Description");
    for (QLabel* l : {lbCurrFilePos, lbCurrFileNm, lbCurrFileSize, lbCurrFileDate, lbCurrFileDesc})
        cur->addWidget(l);
    pnCurFile->hide(); // shown while the file window has the focus
    m_layout->addWidget(pnCurFile);

    CurrDirStatGroupBox = new QGroupBox(this);
    SetComponentName(CurrDirStatGroupBox, "CurrDirStatGroupBox");
    // The group boxes are heard by their titles, which change with the scope.
    CurrDirStatGroupBox->setTitle(" Current directory statistics: ");
    AnnounceNameChanges(CurrDirStatGroupBox);
    auto* dir = new QVBoxLayout(CurrDirStatGroupBox);
    FilesInDirLabel = makeLabel(CurrDirStatGroupBox, "FilesInDirLabel", "Files");
    TotalDirSizeLabel = makeLabel(CurrDirStatGroupBox, "TotalDirSizeLabel", "Size");
    dir->addWidget(FilesInDirLabel);
    dir->addWidget(TotalDirSizeLabel);
    m_layout->addWidget(CurrDirStatGroupBox);

    TaggedGroupBox = new QGroupBox(this);
    SetComponentName(TaggedGroupBox, "TaggedGroupBox");
    TaggedGroupBox->setTitle(" Directory tagged statistics: ");
    AnnounceNameChanges(TaggedGroupBox);
    auto* tagged = new QVBoxLayout(TaggedGroupBox);
    TaggedFilesLabel = makeLabel(TaggedGroupBox, "TaggedFilesLabel", "Tagged files");
    TaggedBytesLabel = makeLabel(TaggedGroupBox, "TaggedBytesLabel", "Tagged size");
    tagged->addWidget(TaggedFilesLabel);
    tagged->addWidget(TaggedBytesLabel);
    m_layout->addWidget(TaggedGroupBox);
    m_layout->addStretch(1);
}

void StatisticsPanel::setFileSpecBox(QComboBox* box) {
    if (hbFileSpec == box)
        return;
    if (hbFileSpec) {
        m_layout->removeWidget(hbFileSpec);
        if (hbFileSpec->parent() == this)
            hbFileSpec->deleteLater();
    }
    hbFileSpec = box;
    SetComponentName(hbFileSpec, "hbFileSpec");
    hbFileSpec->setAccessibleName("File specification");
    hbFileSpec->setToolTip(
        "File specification ... Press <F2> for extended file specifications ...");
    // "File Spec:" labels the box (how screen readers on this desktop learn a
    // combo box's name).
    lbFileSpec->setBuddy(hbFileSpec);
    m_layout->insertWidget(1, hbFileSpec);
    showInversion(m_inverted);
}

void StatisticsPanel::showStatistics(const StatisticsTexts& t) {
    CurrDirStatGroupBox->setTitle(QString::fromStdString(t.upperCaption));
    FilesInDirLabel->setText(QString::fromStdString(t.files));
    TotalDirSizeLabel->setText(QString::fromStdString(t.size));
    TaggedGroupBox->setTitle(QString::fromStdString(t.lowerCaption));
    TaggedFilesLabel->setText(QString::fromStdString(t.taggedFiles));
    TaggedBytesLabel->setText(QString::fromStdString(t.taggedSize));
}

void StatisticsPanel::showCurrentFile(const CurrentFileTexts& t) {
    lbCurrFilePos->setText(QString::fromStdString(t.pos));
    lbCurrFileNm->setText(QString::fromStdString(t.name));
    lbCurrFileSize->setText(QString::fromStdString(t.size));
    lbCurrFileDate->setText(QString::fromStdString(t.date));
    lbCurrFileDesc->setText(QString::fromStdString(t.desc));
}

void StatisticsPanel::showInversion(bool inverted) {
    // Each change of the inversion swaps the panel's colours as well.
    if (inverted != m_inverted) {
        QPalette p = pnFileSpec->palette();
        const QColor back = p.color(QPalette::Window);
        p.setColor(QPalette::Window, p.color(QPalette::WindowText));
        p.setColor(QPalette::WindowText, back);
        pnFileSpec->setPalette(p);
        m_inverted = inverted;
    }
    pnFileSpec->setFrameShadow(inverted ? QFrame::Raised : QFrame::Sunken);
    if (hbFileSpec) {
        QPalette p = hbFileSpec->palette();
        p.setColor(QPalette::Text, inverted ? QColor(Qt::red) : QColor(Qt::black));
        hbFileSpec->setPalette(p);
        if (hbFileSpec->lineEdit())
            hbFileSpec->lineEdit()->setPalette(p);
    }
}

bool StatisticsPanel::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == pnFileSpec || watched == lbFileSpec) &&
        event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        emit pnFileSpecClicked();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace zentrix
