#include "gui/view/tviewerform.h"

#include "core/prompter.h"
#include "gui/config/fontconvert.h"
#include "gui/controls/a11y.h"
#include "view/viewerdocument.h"
#include "view/viewerstate.h"

#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QImage>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace zentrix {

namespace {

QString q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

QFont viewerFont() {
    const ViewerState& state = ViewerState::Shared();
    QFont font("Courier New", 8);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    if (!state.fontText.empty()) {
        QColor color;
        font = ApplyFontTextToQFont(q(state.fontText), font, color);
    }
    return font;
}

// What assistive tools read of the drawing area: the lines in view as one
// text, one line each, with the caret at the start of the selected line (the
// top line when none is selected in view).
class ViewerAreaAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ViewerAreaAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Document) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.multiLine = true;
        s.focusable = true;
        return s;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return all();
        return QAccessibleWidget::text(t);
    }

    // QAccessibleTextInterface
    void selection(int, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return area()->caretOffset(); }
    void setCursorPosition(int position) override {
        const QStringList lines = area()->visibleLineTexts();
        int start = 0;
        for (int row = 0; row < lines.size(); ++row) {
            const int end = start + static_cast<int>(lines[row].size());
            if (position <= end) {
                area()->setSelectedLine(area()->topLine() + row);
                return;
            }
            start = end + 1;
        }
    }
    QString text(int startOffset, int endOffset) const override {
        const QString whole = all();
        startOffset = std::clamp(startOffset, 0, static_cast<int>(whole.size()));
        endOffset = std::clamp(endOffset, startOffset, static_cast<int>(whole.size()));
        return whole.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(all().size()); }
    QRect characterRect(int offset) const override {
        const QStringList lines = area()->visibleLineTexts();
        const QFontMetrics fm(area()->viewport()->font());
        int start = 0;
        for (int row = 0; row < lines.size(); ++row) {
            const int end = start + static_cast<int>(lines[row].size());
            if (offset <= end) {
                const int x = fm.horizontalAdvance(lines[row].left(offset - start)) -
                              area()->horizontalScrollBar()->value();
                const QRect r(x, row * area()->lineHeight(), fm.horizontalAdvance('W'),
                              area()->lineHeight());
                return QRect(area()->viewport()->mapToGlobal(r.topLeft()), r.size());
            }
            start = end + 1;
        }
        return {};
    }
    int offsetAtPoint(const QPoint& point) const override {
        const QPoint local = area()->viewport()->mapFromGlobal(point);
        const int row = local.y() / area()->lineHeight();
        const QStringList lines = area()->visibleLineTexts();
        if (row < 0 || row >= lines.size())
            return -1;
        int start = 0;
        for (int k = 0; k < row; ++k)
            start += static_cast<int>(lines[k].size()) + 1;
        const int charWidth =
            std::max(1, QFontMetrics(area()->viewport()->font()).horizontalAdvance('W'));
        const int column = (local.x() + area()->horizontalScrollBar()->value()) / charWidth;
        return start + std::clamp(column, 0, static_cast<int>(lines[row].size()));
    }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = -1;
        return {};
    }

private:
    TViewerArea* area() const { return static_cast<TViewerArea*>(widget()); }
    QString all() const { return area()->visibleLineTexts().join('\n'); }
};

QAccessibleInterface* viewerAreaFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("zentrix::TViewerArea") && object && object->isWidgetType())
        return new ViewerAreaAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

// --- the drawing area -------------------------------------------------------------------

TViewerArea::TViewerArea(ViewerDocument& document, QWidget* parent)
    : QAbstractScrollArea(parent), m_doc(document) {
    static const bool installed = [] {
        QAccessible::installFactory(viewerAreaFactory);
        return true;
    }();
    (void)installed;
    NameComponent(this, "ViewerArea", "File contents");
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setFont(viewerFont());
    horizontalScrollBar()->setRange(0, 2000);
    horizontalScrollBar()->setSingleStep(10);
    horizontalScrollBar()->setPageStep(250);
    verticalScrollBar()->setSingleStep(1);
}

int TViewerArea::lineHeight() const {
    // The whole height of the font, descenders included: a row as high as a
    // capital letter cuts off the lower part of g, p and y.
    const QFontMetrics fm(viewport()->font());
    return std::max({1, fm.height(), fm.lineSpacing()});
}

int TViewerArea::visibleLines() const {
    return std::max(1, viewport()->height() / lineHeight());
}

int64_t TViewerArea::topLine() const {
    return verticalScrollBar()->value();
}

void TViewerArea::setTopLine(int64_t line) {
    verticalScrollBar()->setValue(static_cast<int>(std::clamp<int64_t>(line, 0, INT32_MAX)));
    viewport()->update();
}

void TViewerArea::setSelectedLine(int64_t line) {
    m_selected = line;
    viewport()->update();
    emit selectionChanged();
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent moved(this, caretOffset());
        QAccessible::updateAccessibility(&moved);
    }
}

QStringList TViewerArea::visibleLineTexts() const {
    QStringList lines;
    const int rows = visibleLines();
    for (int64_t line = topLine(); line < topLine() + rows; ++line) {
        if (!m_doc.LineOffset(line))
            break;
        lines << q(m_doc.Line(line));
    }
    return lines;
}

int TViewerArea::caretOffset() const {
    if (m_selected < topLine() || m_selected >= topLine() + visibleLines())
        return 0;
    int offset = 0;
    const QStringList lines = visibleLineTexts();
    for (int64_t row = 0; row < m_selected - topLine() && row < lines.size(); ++row)
        offset += static_cast<int>(lines[static_cast<int>(row)].size()) + 1;
    return offset;
}

void TViewerArea::textChanged() {
    // Assistive tools read the lines in view again.
    if (!QAccessible::isActive())
        return;
    const QString text = visibleLineTexts().join('\n');
    if (text == m_accessibleText)
        return;
    QAccessibleTextUpdateEvent changed(this, 0, m_accessibleText, text);
    m_accessibleText = text;
    QAccessible::updateAccessibility(&changed);
    QAccessibleTextCursorEvent caret(this, caretOffset());
    QAccessible::updateAccessibility(&caret);
}

void TViewerArea::setWrap(bool wrap) {
    m_wrap = wrap;
    horizontalScrollBar()->setValue(0);
    horizontalScrollBar()->setEnabled(!wrap);
    viewport()->update();
}

void TViewerArea::updateRange() {
    const int64_t lines = m_doc.LineCount();
    const int visible = visibleLines();
    // The range is set only when there is more than one line to scroll by.
    const int64_t range = lines - visible;
    if (range > 1)
        verticalScrollBar()->setRange(0, static_cast<int>(std::min<int64_t>(range, INT32_MAX)));
    else
        verticalScrollBar()->setRange(0, 0);
    verticalScrollBar()->setPageStep(std::max(1, visible - 1));
    viewport()->update();
    textChanged();
}

void TViewerArea::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateRange();
}

void TViewerArea::scrollContentsBy(int, int dy) {
    viewport()->update();
    if (dy)
        textChanged();
}

void TViewerArea::paintEvent(QPaintEvent*) {
    // Drawn on an image first, then put on the screen in one go.
    QImage image(viewport()->size() * devicePixelRatioF(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatioF());
    QPainter p(&image);
    p.setFont(viewport()->font());
    const QPalette pal = palette();
    const int h = lineHeight();
    const int ascent = QFontMetrics(viewport()->font()).ascent();
    const int rows = viewport()->height() / h + 1;
    const int x = -horizontalScrollBar()->value();
    const int width = viewport()->width();
    const int charWidth = std::max(1, QFontMetrics(viewport()->font()).horizontalAdvance('W'));
    const int wrapChars = std::max(8, width / charWidth);
    m_shown.clear();
    m_rowLines.clear();
    m_rowTop = topLine();
    int64_t line = topLine();
    int row = 0;
    while (row < rows) {
        const bool exists = m_doc.LineOffset(line).has_value();
        QString text = exists ? q(m_doc.Line(line)) : QString();
        if (exists)
            m_shown.push_back(text);
        // One row, or in wrap mode as many as the line needs.
        int pieces = 1;
        if (m_wrap && text.size() > wrapChars)
            pieces = static_cast<int>((text.size() + wrapChars - 1) / wrapChars);
        for (int k = 0; k < pieces && row < rows; ++k, ++row) {
            const bool selected = exists && line == m_selected;
            const QRect r(0, row * h, width, h);
            p.fillRect(r, pal.color(selected ? QPalette::Highlight : QPalette::Base));
            p.setPen(pal.color(selected ? QPalette::HighlightedText : QPalette::Text));
            const QString piece = m_wrap ? text.mid(k * wrapChars, wrapChars) : text;
            p.drawText(m_wrap ? 0 : x, row * h + ascent, piece);
            m_rowLines.push_back(exists ? line : -1);
        }
        ++line;
    }
    p.end();
    QPainter screen(viewport());
    screen.drawImage(0, 0, image);
}

int64_t TViewerArea::lineAt(int y) const {
    const int row = y / lineHeight();
    // The rows of the last paint, unless the window scrolled since.
    if (m_rowTop == topLine() && row >= 0 && row < static_cast<int>(m_rowLines.size()))
        return m_rowLines[static_cast<size_t>(row)];
    const int64_t line = topLine() + row;
    return line < m_doc.LineCount() ? line : -1;
}

void TViewerArea::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        if (const int64_t line = lineAt(event->position().toPoint().y()); line >= 0)
            setSelectedLine(line);
    QAbstractScrollArea::mousePressEvent(event);
}

void TViewerArea::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        if (const int64_t line = lineAt(event->position().toPoint().y());
            line >= 0 && line != m_selected)
            setSelectedLine(line);
}

// --- the window ---------------------------------------------------------------------------

TViewerForm::TViewerForm(Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter),
      m_doc(std::make_unique<ViewerDocument>(ViewerState::Shared())) {
    setObjectName("TViewerForm");
    setMinimumSize(250, 100);
    resize(640, 480);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    toolBar = new QToolBar(this);
    NameComponent(toolBar, "ViewerToolBar", "Viewer tools");
    auto add = [this](const char* name, const QString& text, const QString& hint, auto slot) {
        QAction* a = toolBar->addAction(text);
        a->setObjectName(name);
        a->setToolTip(hint);
        a->setStatusTip(hint);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    actOpen = add("sbOpenFile", "Open", "Open file", &TViewerForm::OpenFileClick);
    actFind = add("sbFindText", "Find", "Find text", &TViewerForm::FindTextClick);
    actCopy =
        add("sbCopyLine", "Copy", "Copy selected line to clipboard", &TViewerForm::CopyLineClick);
    actAppend = add("sbAppendLine", "Append", "Append selected line to clipboard",
                    &TViewerForm::AppendLineClick);
    actHex = add("sbHex", "HEX", "Hex/ASCII view", &TViewerForm::HexClick);
    actHex->setCheckable(true);
    actHexLength = add("sbHexLength", "$<>", "Hex line length", &TViewerForm::HexLineLengthClick);
    actFirstLength = add("sbFirstHexLength", "1<>", "Length of first hex line",
                         &TViewerForm::FirstHexLineLengthClick);
    actFont = add("sbFont", "Font", "Change font", &TViewerForm::ChangeFontClick);
    actWrap = add("sbWrap", "Wrap", "Wrap long lines", &TViewerForm::WrapClick);
    actWrap->setCheckable(true);
    actGoTo = add("sbGoTo", "Go to", "Go to a line or byte offset", &TViewerForm::GoToClick);
    layout->addWidget(toolBar);
    m_area = new TViewerArea(*m_doc, this);
    layout->addWidget(m_area, 1);
    m_status = new QLabel(this);
    m_status->setTextFormat(Qt::PlainText);
    NameComponent(m_status, "ViewerStatus", "Viewer status");
    m_status->setContentsMargins(4, 1, 4, 1);
    layout->addWidget(m_status);
    m_area->setWrap(ViewerState::Shared().wrap);
    actWrap->setChecked(ViewerState::Shared().wrap);
    connect(m_area, &TViewerArea::selectionChanged, this, &TViewerForm::updateStatus);
    m_timer = new QTimer(this);
    m_timer->setInterval(40);
    connect(m_timer, &QTimer::timeout, this, &TViewerForm::tick);
    m_timer->start();
    m_area->setFocus();
}

TViewerForm::~TViewerForm() {
    stopSearch();
    closeFindDialog();
}

void TViewerForm::LoadFile(const std::string& hostPath, bool autoHex) {
    stopSearch();
    const auto result = m_doc->Load(hostPath, autoHex);
    if (result == ViewerDocument::LoadResult::CannotOpen)
        m_prompter.warn("Could not view file!     ");
    m_area->setSelectedLine(-1);
    m_area->setTopLine(0);
    afterModeChange();
}

void TViewerForm::afterModeChange() {
    actHex->setChecked(m_doc->HexMode());
    m_area->updateRange();
    updateStatus();
}

void TViewerForm::updateStatus() {
    if (!m_doc->Loaded()) {
        m_status->setText(QString());
        return;
    }
    QString text =
        QString("%1 bytes   %2   ")
            .arg(m_doc->Size())
            .arg(m_doc->HexMode() ? QString("Hex") : QString(EncodingName(m_doc->Encoding())));
    text += m_doc->IndexComplete() ? QString("%1 lines").arg(m_doc->LineCount())
                                   : QString("Indexing %1%").arg(m_doc->IndexPermille() / 10);
    if (m_area->selectedLine() >= 0)
        text += QString("   Line %1").arg(m_area->selectedLine() + 1);
    if (m_search) {
        const int64_t size = std::max<int64_t>(1, m_doc->Size());
        text += QString("   Searching %1% ... (Esc stops)")
                    .arg(std::clamp<int64_t>(m_search->reached.load() * 100 / size, 0, 100));
    }
    m_status->setText(text);
}

void TViewerForm::tick() {
    // While the index grows the scroll range follows, and once more when it
    // is complete (the last lines may come between two ticks); now and then
    // the file's size is looked at again, so that a file truncated meanwhile
    // shows what is left.
    const int64_t lines = m_doc->LineCount();
    const bool complete = m_doc->IndexComplete();
    if (lines != m_shownLineCount || complete != m_shownComplete || m_search) {
        m_shownLineCount = lines;
        m_shownComplete = complete;
        m_area->updateRange();
        updateStatus();
    }
    if (m_search && m_search->done)
        finishSearch();
    if (++m_sizeCheck >= 25) {
        m_sizeCheck = 0;
        if (!m_search && m_doc->CheckSize()) {
            if (m_area->selectedLine() >= m_doc->LineCount())
                m_area->setSelectedLine(-1);
            afterModeChange();
        }
    }
}

void TViewerForm::keyPressEvent(QKeyEvent* event) {
    const auto mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const int key = event->key();
    if (key == Qt::Key_Escape) {
        if (m_search)
            stopSearch();
        else
            close();
        return;
    }
    if (mods == (Qt::ControlModifier | Qt::AltModifier) && key == Qt::Key_C)
        return AppendLineClick();
    if (mods == Qt::ControlModifier && key == Qt::Key_Insert)
        return CopyLineClick();
    if (mods == Qt::ControlModifier && key == Qt::Key_G)
        return GoToClick();
    if (mods == Qt::ControlModifier && key == Qt::Key_Home)
        return m_area->setTopLine(0);
    if (mods == Qt::ControlModifier && key == Qt::Key_End)
        return m_area->setTopLine(m_doc->LineCount());
    if (mods == Qt::NoModifier) {
        switch (key) {
        case Qt::Key_F4:
            return OpenFileClick();
        case Qt::Key_F7:
        case Qt::Key_F9:
            return FindTextClick();
        case Qt::Key_F3:
        case Qt::Key_Space:
            return FindNext();
        case Qt::Key_C:
            return CopyLineClick();
        case Qt::Key_H:
            return HexClick();
        case Qt::Key_L:
            return HexLineLengthClick();
        case Qt::Key_1:
            return FirstHexLineLengthClick();
        case Qt::Key_F2:
            return ChangeFontClick();
        case Qt::Key_W:
            return WrapClick();
        case Qt::Key_PageUp:
            return m_area->setTopLine(m_area->topLine() - std::max(1, m_area->visibleLines() - 1));
        case Qt::Key_PageDown:
            return m_area->setTopLine(m_area->topLine() + std::max(1, m_area->visibleLines() - 1));
        case Qt::Key_Home:
            return m_area->setTopLine(0);
        case Qt::Key_End:
            return m_area->setTopLine(m_doc->LineCount());
        case Qt::Key_Up:
            return m_area->setTopLine(m_area->topLine() - 1);
        case Qt::Key_Down:
            return m_area->setTopLine(m_area->topLine() + 1);
        case Qt::Key_Left:
            return m_area->horizontalScrollBar()->setValue(m_area->horizontalScrollBar()->value() -
                                                           10);
        case Qt::Key_Right:
            return m_area->horizontalScrollBar()->setValue(m_area->horizontalScrollBar()->value() +
                                                           10);
        default:
            break;
        }
    }
    QDialog::keyPressEvent(event);
}

void TViewerForm::OpenFileClick() {
    const QString name =
        QFileDialog::getOpenFileName(this, "Open file", QString::fromStdString(m_doc->Path()),
                                     "Text files (*.txt);;All files (*.*)");
    if (name.isEmpty())
        return;
    setWindowTitle(name);
    LoadFile(name.toStdString(), false);
}

void TViewerForm::FindTextClick() {
    if (!m_findDialog) {
        auto* dialog = new QDialog(this);
        dialog->setObjectName("ViewerFindDialog");
        dialog->setWindowTitle("Find");
        auto* layout = new QVBoxLayout(dialog);
        auto* row = new QHBoxLayout;
        auto* label = new QLabel("Fi&nd what:", dialog);
        label->setObjectName("lbFindWhat");
        row->addWidget(label);
        m_findText = new QLineEdit(dialog);
        label->setBuddy(m_findText); // Alt+N reaches the box; the label shows no "&"
        NameComponent(m_findText, "edFindText", "Find what");
        row->addWidget(m_findText, 1);
        layout->addLayout(row);
        m_matchCase = new QCheckBox("Match &case", dialog);
        NameComponent(m_matchCase, "cbMatchCase", "Match case");
        layout->addWidget(m_matchCase);
        auto* buttons = new QHBoxLayout;
        auto* next = new QPushButton("&Find Next", dialog);
        next->setObjectName("btnFindNext");
        next->setDefault(true);
        auto* cancel = new QPushButton("Cancel", dialog);
        buttons->addStretch(1);
        buttons->addWidget(next);
        buttons->addWidget(cancel);
        layout->addLayout(buttons);
        connect(cancel, &QPushButton::clicked, dialog, &QDialog::close);
        connect(next, &QPushButton::clicked, this, [this] {
            // An empty text brings the last search text back into the box.
            if (m_findText->text().isEmpty()) {
                m_findText->setText(q(ViewerState::Shared().lastSearchText));
                return;
            }
            ViewerState::Shared().lastSearchText = m_findText->text().toStdString();
            FindNext();
        });
        m_findDialog = dialog;
    }
    m_findText->setText(q(ViewerState::Shared().lastSearchText));
    m_findText->selectAll();
    m_findDialog->show();
    m_findDialog->raise();
    m_findDialog->activateWindow();
}

void TViewerForm::FindNext() {
    if (m_search)
        return;
    const std::string text = ViewerState::Shared().lastSearchText;
    if (text.empty())
        return FindTextClick();
    startSearch(text, m_matchCase && m_matchCase->isChecked());
}

void TViewerForm::startSearch(const std::string& text, bool matchCase) {
    m_search.emplace();
    Search& s = *m_search;
    const int64_t from = m_area->selectedLine() + 1;
    s.worker = std::thread([this, &s, text, matchCase, from] {
        s.hit = m_doc->Find(from, text, matchCase, [&s](int64_t offset) {
            s.reached = offset;
            return !s.cancel.load();
        });
        s.done = true;
    });
    updateStatus();
}

void TViewerForm::waitForSearch() {
    if (!m_search)
        return;
    if (m_search->worker.joinable())
        m_search->worker.join();
    finishSearch();
}

void TViewerForm::finishSearch() {
    if (!m_search)
        return;
    if (m_search->worker.joinable())
        m_search->worker.join();
    const bool cancelled = m_search->cancel;
    const std::optional<int64_t> hit = m_search->hit;
    m_search.reset();
    if (cancelled) {
        updateStatus();
        return;
    }
    if (hit) {
        // The found line becomes the second visible row, and selected.
        m_area->updateRange();
        m_area->setTopLine(*hit - 1);
        m_area->setSelectedLine(*hit);
    } else {
        m_prompter.beep();
        m_area->setSelectedLine(-1);
    }
    updateStatus();
}

void TViewerForm::stopSearch() {
    if (!m_search)
        return;
    m_search->cancel = true;
    if (m_search->worker.joinable())
        m_search->worker.join();
    m_search.reset();
}

void TViewerForm::CopyLineClick() {
    if (m_area->selectedLine() < 0)
        return;
    QGuiApplication::clipboard()->setText(q(m_doc->Line(m_area->selectedLine())));
}

void TViewerForm::AppendLineClick() {
    if (m_area->selectedLine() < 0)
        return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QString line = q(m_doc->Line(m_area->selectedLine()));
    const QString old = clipboard->text();
    clipboard->setText(old.isEmpty() ? line : old + "\r\n" + line);
}

void TViewerForm::HexClick() {
    if (m_search)
        return;
    const int64_t offset = m_doc->LineOffset(m_area->topLine()).value_or(0);
    m_doc->SetHexMode(!m_doc->HexMode());
    m_area->setSelectedLine(-1);
    afterModeChange();
    // The top of the window stays near the same place of the file.
    m_area->setTopLine(m_doc->HexMode() ? m_doc->LineOfOffset(offset) : 0);
}

void TViewerForm::HexLineLengthClick() {
    if (m_search)
        return;
    ViewerState& state = ViewerState::Shared();
    const auto text = m_prompter.inputText(
        "Viewer", "Enter new hex line length: ", std::to_string(state.hexLineLength));
    const int value = text ? ParseHexLineLength(*text) : 0;
    if (!value)
        return;
    state.hexLineLength = value;
    state.firstHexLineLength = value;
    m_doc->SetHexMode(true);
    afterModeChange();
}

void TViewerForm::FirstHexLineLengthClick() {
    if (m_search)
        return;
    ViewerState& state = ViewerState::Shared();
    const auto text = m_prompter.inputText(
        "Viewer", "Enter new first hex line length: ", std::to_string(state.firstHexLineLength));
    const int value = text ? ParseHexLineLength(*text) : 0;
    if (!value)
        return;
    state.firstHexLineLength = value;
    m_doc->SetHexMode(true);
    afterModeChange();
}

void TViewerForm::ChangeFontClick() {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, m_area->viewport()->font(), this, "Font");
    if (!ok)
        return;
    ViewerState::Shared().fontText =
        FontTextOf(font, palette().color(QPalette::Text)).toStdString();
    m_area->viewport()->setFont(font);
    m_area->updateRange();
}

void TViewerForm::WrapClick() {
    ViewerState::Shared().wrap = !m_area->wrap();
    m_area->setWrap(ViewerState::Shared().wrap);
    actWrap->setChecked(m_area->wrap());
}

void TViewerForm::GoToClick() {
    const auto text = m_prompter.inputText(
        "Viewer", "Go to line number, or byte offset as $hex or 0xhex: ", std::string());
    if (!text || text->empty())
        return;
    const QString t = QString::fromStdString(*text).trimmed();
    bool ok = false;
    int64_t line = -1;
    if (t.startsWith('$') || t.startsWith("0x", Qt::CaseInsensitive)) {
        const qlonglong offset = t.mid(t.startsWith('$') ? 1 : 2).toLongLong(&ok, 16);
        if (ok)
            line = m_doc->LineOfOffset(offset);
    } else {
        const qlonglong number = t.toLongLong(&ok);
        if (ok && number >= 1)
            line = std::min<int64_t>(number - 1, std::max<int64_t>(0, m_doc->LineCount() - 1));
    }
    if (line < 0) {
        m_prompter.beep();
        return;
    }
    m_area->setTopLine(line - 1);
    m_area->setSelectedLine(line);
}

void TViewerForm::closeFindDialog() {
    if (m_findDialog)
        m_findDialog->close();
}

void TViewerForm::closeEvent(QCloseEvent* event) {
    stopSearch();
    closeFindDialog();
    QDialog::closeEvent(event);
}

void TViewerForm::done(int result) {
    stopSearch();
    closeFindDialog();
    QDialog::done(result);
}

} // namespace zentrix
