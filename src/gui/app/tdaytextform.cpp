#include "gui/app/tdaytextform.h"

#include "core/daytexts.h"
#include "gui/controls/a11y.h"

#include <QCheckBox>
#include <QDate>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

// Resources compiled into a static library must be registered by name.
static void initDayTextResources() {
    Q_INIT_RESOURCE(daytexts);
}

namespace zentrix {

std::vector<std::string> LoadDayTextResource(const QString& path) {
    initDayTextResources();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return ReadDayTexts(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

long long TodayNumber() {
    return QDate(1970, 1, 1).daysTo(QDate::currentDate());
}

TDayTextForm::TDayTextForm(const QString& title, const QString& heading,
                           std::vector<std::string> texts, bool& showAtStartUp,
                           const QString& checkCaption, bool withAuthor, QWidget* parent)
    : QDialog(parent), m_texts(std::move(texts)), m_withAuthor(withAuthor),
      m_showAtStartUp(showAtStartUp) {
    setWindowTitle(title);

    auto* layout = new QVBoxLayout(this);
    auto* headingLabel = new QLabel("<b>" + heading.toHtmlEscaped() + "</b>", this);
    layout->addWidget(headingLabel);

    lbText = new QLabel(this);
    // The text is what is heard; the window's title says what it is.
    NameValueLabel(lbText, "lbText", QString());
    lbText->setWordWrap(true);
    lbText->setTextFormat(Qt::PlainText);
    lbText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbText->setMinimumHeight(90);
    lbText->setFrameShape(QFrame::StyledPanel);
    lbText->setMargin(8);
    lbText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(lbText, 1);

    lbSource = new QLabel(this);
    NameValueLabel(lbSource, "lbSource", QString());
    lbSource->setTextFormat(Qt::PlainText);
    lbSource->setAlignment(Qt::AlignRight);
    lbSource->setVisible(m_withAuthor);
    layout->addWidget(lbSource);

    auto* bottom = new QHBoxLayout;
    cbShowAtStartUp = new QCheckBox(checkCaption, this);
    NameComponent(cbShowAtStartUp, "cbShowAtStartUp", checkCaption);
    cbShowAtStartUp->setChecked(m_showAtStartUp);
    lbCounter = new QLabel(this);
    NameValueLabel(lbCounter, "lbCounter", "Number");
    btnPrevious = new QPushButton("&Previous", this);
    NameComponent(btnPrevious, "btnPrevious", "Previous");
    btnNext = new QPushButton("&Next", this);
    NameComponent(btnNext, "btnNext", "Next");
    auto* btnClose = new QPushButton("&Close", this);
    NameComponent(btnClose, "btnClose", "Close");
    btnClose->setDefault(true);
    bottom->addWidget(cbShowAtStartUp);
    bottom->addStretch();
    bottom->addWidget(lbCounter);
    bottom->addWidget(btnPrevious);
    bottom->addWidget(btnNext);
    bottom->addWidget(btnClose);
    layout->addLayout(bottom);

    connect(cbShowAtStartUp, &QCheckBox::toggled, this,
            [this](bool checked) { m_showAtStartUp = checked; });
    connect(btnPrevious, &QPushButton::clicked, this, [this] { ShowText(m_index - 1); });
    connect(btnNext, &QPushButton::clicked, this, [this] { ShowText(m_index + 1); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);

    resize(480, 240);
    ShowText(DayTextIndex(TodayNumber(), static_cast<int>(m_texts.size())));
}

void TDayTextForm::ShowText(int index) {
    const int count = static_cast<int>(m_texts.size());
    if (count == 0)
        return;
    m_index = ((index % count) + count) % count;
    lbCounter->setText(QString("%1 of %2").arg(m_index + 1).arg(count));
    const std::string& text = m_texts[static_cast<size_t>(m_index)];
    if (m_withAuthor) {
        const QuoteParts parts = SplitQuote(text);
        lbText->setText(QString::fromStdString(parts.text));
        lbSource->setText(parts.author.empty() ? QString()
                                               : QString::fromStdString("\u2014 " + parts.author));
    } else {
        lbText->setText(QString::fromStdString(text));
    }
}

} // namespace zentrix
