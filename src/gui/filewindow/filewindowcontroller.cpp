#include "gui/filewindow/filewindowcontroller.h"

#include "catalogue/catalogue.h"
#include "catalogue/fileclass.h"
#include "config/settings.h"
#include "core/plugincalls.h"
#include "filewindow/filecolumns.h"
#include "filewindow/filetexts.h"
#include "gui/config/fontconvert.h"
#include "gui/controls/systemclipboard.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/filewindow/a11yname.h"
#include "gui/filewindow/fileheader.h"
#include "gui/filewindow/filelistaccessible.h"
#include "gui/filewindow/qticonprovider.h"
#include "gui/filewindow/statisticspanel.h"
#include "gui/filewindow/tvirtuallistbox.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDrag>
#include <QFocusEvent>
#include <QFontDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace zentrix {
namespace {

const QString kNotReadYet = QStringLiteral("Not logged yet: press Enter");

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

/// The drag's data: the catalogue full name of the dragged file.
constexpr const char* kDragMime = "application/x-zentrix-file-window";

} // namespace

FileWindowController::FileWindowController(Catalogue& catalogue, AppState& state,
                                           Settings& settings, Prompter& prompter,
                                           Progress& progress, DiskLogger& logger, QWidget* parent)
    : QObject(parent), m_icons(std::make_unique<QtIconProvider>()),
      m_model(std::make_unique<FileWindow>(catalogue, state, settings, prompter, progress, logger)),
      m_settings(settings), m_cat(catalogue), m_metrics(QFont()) {
    InstallFileListAccessibility();
    m_model->SetUi(this);
    m_model->SetIconProvider(m_icons.get());

    m_listPanel = new QWidget(parent);
    SetComponentName(m_listPanel, "pnMainListBox");
    m_listPanel->setAccessibleName("File window");
    auto* layout = new QVBoxLayout(m_listPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_header = new FileHeader(m_listPanel);
    SetComponentName(m_header, "FileHeader");
    m_header->setAccessibleName("File columns");
    m_header->SortState = [this] {
        return std::pair<int, bool>(m_model->SortKey(), m_model->SortReversed());
    };
    layout->addWidget(m_header);
    MainListBox = new TVirtualListBox(m_listPanel);
    m_list = MainListBox;
    SetComponentName(MainListBox, "MainListBox");
    MainListBox->setAccessibleName("Files");
    layout->addWidget(MainListBox, 1);

    m_stats = new StatisticsPanel(parent);
    m_specBox = m_stats->FileSpecBox();
    attachFileSpecBox(m_specBox, true);

    TVirtualListBox* list = MainListBox;
    list->OnDrawItem = [this](QPainter& p, int index, const QRect& r, bool current) {
        MainListBoxDrawItem(p, index, r, current);
    };
    list->OnKeyDown = [this](QKeyEvent* e) {
        return listKeyDown(e);
    };
    list->OnWantsKey = [this](QKeyEvent* e) {
        return listWantsKey(e);
    };
    list->OnKeyUp = [this](QKeyEvent*) {
        m_model->MainListBoxKeyUp();
    };
    list->OnMouseDown = [this](QMouseEvent* e, int index) {
        listMouseDown(e, index);
    };
    list->OnClick = [this] {
        m_model->MainListBoxClick();
    };
    list->OnDblClick = [this] {
        m_model->MainListBoxDblClick();
    };
    list->OnStartDrag = [this](QMouseEvent* e) {
        startDrag(e);
    };
    list->WndProcFunction = [this](QEvent* e) {
        return listWndProc(e);
    };
    list->OnItemText = [this](int index) {
        // The name as the row shows it: the full path when full paths are shown.
        const TFileClass* r = m_model->Record(index);
        if (!r)
            return qs(m_model->Text(index));
        return qs(m_model->Columns() > 0 ? ColumnNameText(*r, m_settings)
                                         : EntryNameText(*r, m_settings));
    };
    list->OnItemTagged = [this](int index) {
        const TFileClass* r = m_model->Record(index);
        return r && r->Tagged();
    };
    connect(list, &TVirtualListBox::currentIndexChanged, this, [this](int index) {
        m_model->SetCurrent(index, true);
        NotifyCurrentRowChanged(MainListBox);
    });
    connect(list, &TVirtualListBox::focusEntered, this, [this] {
        m_stats->pnCurFile->show();
        emit fileWindowFocusChanged(true);
        m_model->FileWindowEnter();
    });
    connect(list, &TVirtualListBox::focusLeft, this, [this] {
        m_model->FileWindowExit();
        emit fileWindowFocusChanged(false);
    });
    connect(list->horizontalScrollBar(), &QScrollBar::valueChanged, m_header,
            [this](int value) { m_header->setOffset(MainListBox->columns() > 0 ? 0 : value); });
    connect(m_header, &QHeaderView::sectionResized, this, [this] { syncHeader(); });
    connect(m_header, &QHeaderView::sectionClicked, this,
            [this](int section) { m_model->FileHeaderSectionClick(section); });

    connect(m_stats, &StatisticsPanel::pnFileSpecClicked, this,
            [this] { m_model->pnFileSpecClick(); });
    connect(m_stats->sbDefaultFSpec, &QToolButton::clicked, this,
            [this] { m_model->sbDefaultFSpecClick(); });
    connect(m_stats->sbExtFileSpec, &QToolButton::clicked, this, [this] {
        m_model->sbExtFileSpecClick(m_specBox ? m_specBox->currentText().toStdString() : "");
    });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget*) {
        if (old && (old == MainListBox || old == m_tree))
            m_lastFocused = old;
    });
    m_lastFocused = MainListBox;
    m_model->AddFileSpecHistory = [this](const std::string& text) {
        addFileSpecHistory(text);
    };
    applySettings();
    m_model->UpdateStatistics();
}

FileWindowController::~FileWindowController() {
    m_model->SetUi(nullptr);
    if (m_list)
        m_list->clearHandlers();
    if (m_header)
        m_header->SortState = nullptr;
    if (m_listPanel && !m_listPanel->parent())
        delete m_listPanel.data();
    if (m_stats && !m_stats->parent())
        delete m_stats.data();
}

void FileWindowController::setTreeWidget(QWidget* tree) {
    m_tree = tree;
    m_lastFocused = tree;
}

void FileWindowController::setCurrDirLabelWidget(QLabel* label) {
    m_label = label;
}

void FileWindowController::attachFileSpecBox(QComboBox* box, bool attach) {
    QObject* parts[] = {box, box->lineEdit(), box->view()};
    for (QObject* part : parts) {
        if (!part)
            continue;
        if (attach)
            part->installEventFilter(this);
        else
            part->removeEventFilter(this);
    }
    if (!attach) {
        disconnect(box, nullptr, this, nullptr);
        m_specView = nullptr;
        return;
    }
    m_specView = box->view();
    // RefreshFileSpec: choosing from the list returns the focus, and leaving
    // the box applies the text.
    connect(box, &QComboBox::activated, this, [this] { restoreFocus(); });
}

void FileWindowController::setFileSpecBox(QComboBox* box) {
    if (!box || box == m_specBox)
        return;
    if (m_specBox)
        attachFileSpecBox(m_specBox, false);
    m_stats->setFileSpecBox(box);
    m_specBox = box;
    attachFileSpecBox(box, true);
    fileSpecChanged();
}

void FileWindowController::setPlugins(PluginCalls* plugins,
                                      const std::vector<std::string>* userFileTypes) {
    if (!plugins || !userFileTypes) {
        m_model->ExtendedFileSpec = nullptr;
        return;
    }
    m_model->ExtendedFileSpec = [this, plugins, userFileTypes](std::string& text) {
        // A library that cannot be loaded is reported by the call itself.
        const auto spec =
            plugins->CallExtendedFileSpec(*userFileTypes, text, MainListBox->window());
        if (!spec)
            return ExtSpecResult::Cancelled;
        text = *spec;
        return ExtSpecResult::Accepted;
    };
}

void FileWindowController::addFileSpecHistory(const std::string& text) {
    if (!m_specBox || text.empty())
        return;
    const QString entry = QString::fromStdString(text);
    if (auto* history = qobject_cast<THistoryComboBox*>(m_specBox.data())) {
        history->setEditText(entry);
        history->Save(); // the text first, the history written
        return;
    }
    // A box without a store keeps its entries for this run only.
    for (int i = m_specBox->count() - 1; i >= 0; --i)
        if (m_specBox->itemText(i) == entry)
            m_specBox->removeItem(i);
    m_specBox->insertItem(0, entry);
    m_specBox->setEditText(entry);
}

void FileWindowController::setListFont(const QFont& font) {
    m_font = font;
    m_metrics = QFontMetrics(font);
    for (int c = 0; c < 128; ++c)
        m_asciiWidths[static_cast<size_t>(c)] =
            c >= 32 ? m_metrics.horizontalAdvance(QChar(c)) : -1;
    m_ellipsisWidth = m_metrics.horizontalAdvance(qs(kEllipsis));
    MainListBox->setFont(font);
}

int FileWindowController::textWidth(std::string_view text) const {
    int width = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 128 && m_asciiWidths[b] >= 0) {
            width += m_asciiWidths[b];
        } else if (text.substr(i, kEllipsis.size()) == kEllipsis) {
            width += m_ellipsisWidth; // the fitted texts carry it
            i += kEllipsis.size() - 1;
        } else {
            return m_metrics.horizontalAdvance(qs(text));
        }
    }
    return width;
}

void FileWindowController::applySettings() {
    // The stored font with its style; its colour is the main window's to apply.
    QColor unused;
    setListFont(ApplyFontTextToQFont(QString::fromStdString(m_settings.FileListBoxFont),
                                     MainListBox->font(), unused));
    m_header->setDescriptionShown(m_settings.ShowFileDescOption);
    m_model->ApplyFormat();
    syncHeader();
}

void FileWindowController::syncHeader() {
    MainListBox->setContentWidth(m_header->contentWidth());
    MainListBox->viewport()->update();
}

void FileWindowController::ChangeFileListBoxFont() {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, m_font, MainListBox->window());
    if (!ok)
        return;
    setListFont(font);
    m_settings.FileListBoxFont =
        FontTextOf(font, MainListBox->palette().color(QPalette::Text)).toStdString();
    m_model->ApplyFormat();
}

void FileWindowController::pmiFileOptimumClick() {
    if (!IsDetailFormat(m_model->Format()))
        return;
    const QFontMetrics& fm = m_metrics;
    const SectionWidths widths = OptimizedSectionWidths(
        m_model->Records(), m_header->sectionWidths(), m_settings, m_model->Format(),
        m_model->IconSize(), [&fm](std::string_view s) { return fm.horizontalAdvance(qs(s)); });
    m_header->setSectionWidths(widths);
    syncHeader();
}

void FileWindowController::pmiFileDisplayFullpathClick() {
    m_model->pmiFileDisplayFullpathClick();
    emit displayStateUpdated();
}

void FileWindowController::SortFileWindow() {
    emit popupMenuRequested(MainListBox->mapToGlobal(QPoint(5, 5)));
}

void FileWindowController::treeEntered() {
    m_stats->pnCurFile->hide();
    m_model->UpdateStatistics();
}

// ---------------------------------------------------------------------------
// Drawing

void FileWindowController::MainListBoxDrawItem(QPainter& p, int index, const QRect& rect,
                                               bool current) {
    TFileClass* record = m_model->Record(index);
    if (!record)
        return;
    if (current && m_label) {
        const QString dir = QString::fromStdString(record->FileDirName());
        if (m_label->text() != dir)
            m_label->setText(dir);
    }
    auto width = [this](std::string_view s) {
        return textWidth(s);
    };
    if (record->Tagged())
        p.setPen(Qt::red); // tagged entries are red, also when current

    const int format = m_model->Format();
    if (!IsDetailFormat(format)) {
        const std::string name =
            FitText(ColumnNameText(*record, m_settings), rect.width() - 1, width, FitSide::End);
        const int baseline =
            rect.top() + (rect.height() + m_metrics.ascent() - m_metrics.descent()) / 2;
        p.drawText(QPoint(rect.left() + 1, baseline), QString::fromStdString(name));
        return;
    }

    SectionWidths widths = m_header->sectionWidths();
    if (m_header->isSectionHidden(5))
        widths[5] = 0;
    const int iconSize = m_model->IconSize();
    const DetailRowLayout row = LayoutDetailRow(widths, rect.left(), format, iconSize);
    const int top = rect.top();
    const int height = rect.height();
    if (row.hasIcon) {
        if (auto* icon = dynamic_cast<QtIcon*>(m_model->DisplayIcon(record))) {
            const QPixmap& pm = icon->pixmap(iconSize, MainListBox->devicePixelRatioF());
            p.drawPixmap(QRect(rect.left() + row.iconX, top + 2, iconSize, iconSize), pm);
        }
    }
    // Single lines placed by hand: the text is measured already, and drawing at
    // a point spares the line layout of a rectangle draw.
    const int baseline = top + (height + m_metrics.ascent() - m_metrics.descent()) / 2;
    auto draw = [&](const Span& span, const std::string& text, Qt::Alignment align) {
        if (span.width() <= 0 || text.empty())
            return;
        int x = span.left;
        if (align & (Qt::AlignRight | Qt::AlignHCenter)) {
            const int free = span.width() - textWidth(text);
            x += align & Qt::AlignRight ? free : free / 2;
        }
        p.drawText(QPoint(x, baseline), QString::fromStdString(text));
    };
    if (row.nameFitWidth > 0)
        draw(row.name,
             FitText(EntryNameText(*record, m_settings), row.nameFitWidth, width, FitSide::End),
             Qt::AlignLeft);
    draw(row.size, FitText(SizeText(record->FileSize()), row.size.width(), width, FitSide::Start),
         Qt::AlignRight);
    draw(row.date,
         FitText(DateText(record->LastWriteTime()), row.date.width(), width, FitSide::Start),
         Qt::AlignRight);
    draw(
        row.attributes,
        FitText(AttributeText(record->Attributes()), row.attributes.width(), width, FitSide::Start),
        Qt::AlignHCenter);
    if (m_settings.ShowFileDescOption && row.description.width() > 0) {
        p.save();
        p.setClipRect(QRect(row.description.left, top, row.description.width(), height),
                      Qt::IntersectClip);
        draw(row.description, m_model->DisplayDescription(record), Qt::AlignLeft);
        p.restore();
    }
}

// ---------------------------------------------------------------------------
// Keys and mouse

int FileWindowController::keyCodeOf(const QKeyEvent* e) const {
    const bool keypad = e->modifiers() & Qt::KeypadModifier;
    const int key = e->key();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return FileKeys::Enter;
    case Qt::Key_Escape:
        return FileKeys::Escape;
    case Qt::Key_Up:
        return FileKeys::Up;
    case Qt::Key_Down:
        return FileKeys::Down;
    case Qt::Key_Delete:
        return FileKeys::Delete;
    case Qt::Key_Menu:
        return FileKeys::Apps;
    case Qt::Key_Asterisk:
        return keypad ? FileKeys::Multiply : -1;
    case Qt::Key_Plus:
        return keypad ? FileKeys::Add : -1;
    case Qt::Key_Minus:
        return keypad ? FileKeys::Subtract : -1;
    default:
        break;
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return 'A' + (key - Qt::Key_A);
    return -1;
}

namespace {

int folded(int code, const QKeyEvent* e) {
    const Qt::KeyboardModifiers m = e->modifiers();
    return FoldModifiers(code, m & Qt::ShiftModifier, m & Qt::AltModifier, m & Qt::ControlModifier);
}

bool isModifierKey(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr;
}

} // namespace

bool FileWindowController::listWantsKey(QKeyEvent* e) {
    const int code = keyCodeOf(e);
    if (code < 0)
        return false;
    const int key = folded(code, e);
    switch (key) {
    case FileKeys::Enter:
    case FileKeys::Escape:
    case FileKeys::Up:
    case FileKeys::Down:
    case FileKeys::Apps:
    case FileKeys::Multiply:
    case FileKeys::Add:
    case FileKeys::Subtract:
    case FileKeys::Alt + 'S':
    case 'L':
        return true;
    default:
        return key >= FileKeys::Shift + 'A' && key <= FileKeys::Shift + 'Z';
    }
}

bool FileWindowController::listKeyDown(QKeyEvent* e) {
    if (isModifierKey(e->key()))
        return false;
    const int code = keyCodeOf(e);
    // Keys the window has no use for still count as Esc without a current entry.
    const int key = code < 0 ? (m_model->Current() < 0 ? FileKeys::Escape : -1) : folded(code, e);
    if (key < 0)
        return false;
    return m_model->MainListBoxKeyDown(key);
}

bool FileWindowController::listWndProc(QEvent* e) {
    switch (e->type()) {
    case QEvent::MouseButtonPress:
        // The range anchor is the current entry before the press moves it.
        if (static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton)
            m_anchor = MainListBox->currentIndex();
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (m_dragging) {
            const bool ctrl = static_cast<QKeyEvent*>(e)->modifiers() & Qt::ControlModifier;
            m_model->SetCopyDrag(ctrl);
        }
        break;
    default:
        break;
    }
    return false;
}

void FileWindowController::rightClickAt(int index, const QPoint& viewportPos, bool shiftHeld) {
    const RightClickMenu menu = m_model->MainListBoxRightButton(index, shiftHeld);
    const int current = m_model->Current();
    if (current >= 0 && !MainListBox->isItemVisible(current))
        MainListBox->setTopIndex(current);
    const QPoint global = MainListBox->viewport()->mapToGlobal(viewportPos);
    switch (menu) {
    case RightClickMenu::Program:
        emit popupMenuRequested(global);
        break;
    case RightClickMenu::Shell:
        if (const TFileClass* r = m_model->Record(current))
            emit shellContextMenuRequested(QString::fromStdString(r->FullName()), global);
        break;
    case RightClickMenu::Refused:
        break;
    }
}

void FileWindowController::listMouseDown(QMouseEvent* e, int index) {
    const Qt::KeyboardModifiers m = e->modifiers();
    if (e->button() == Qt::RightButton) {
        rightClickAt(index, e->position().toPoint(), m & Qt::ShiftModifier);
        return;
    }
    if (e->button() != Qt::LeftButton || index < 0)
        return;
    if (m & Qt::ShiftModifier)
        m_model->InvertTagRange(m_anchor, index);
    else if (m & Qt::ControlModifier)
        m_model->InvertTag(index);
}

void FileWindowController::startDrag(QMouseEvent* e) {
    const TFileClass* r = m_model->Record(m_model->Current());
    if (!r)
        return;
    const bool copy = e->modifiers() & Qt::ControlModifier;
    m_model->SetCopyDrag(copy);
    emit dragStarted(copy);
    // Other programs take the files the drag stands for (the tagged ones, or
    // this one) by their URIs; the tree takes the window's own form.
    std::vector<std::string> hostPaths;
    for (const TFileClass* file : m_model->TaggedOrCurrent())
        if (const auto host = m_cat.HostPath(file))
            hostPaths.push_back(*host);
    QMimeData* data = FilesMimeData(hostPaths, false);
    data->setData(kDragMime, QByteArray::fromStdString(r->FullName()));
    emit dragDataMade(data);
    auto* drag = new QDrag(MainListBox);
    drag->setMimeData(data);
    m_dragging = true;
    drag->exec(Qt::CopyAction | Qt::MoveAction, copy ? Qt::CopyAction : Qt::MoveAction);
    m_dragging = false;
}

// ---------------------------------------------------------------------------
// The specification box

bool FileWindowController::eventFilter(QObject* watched, QEvent* event) {
    QComboBox* box = m_specBox;
    if (!box)
        return false;
    // The list is reached through its guarded pointer: while the box is being
    // destroyed, its children still send events here after the list is gone.
    QAbstractItemView* view = m_specView;
    const bool inBox = watched == box || watched == box->lineEdit();
    if (view && watched == view && event->type() == QEvent::KeyPress) {
        // While the list is open every typed character is consumed; Esc puts
        // the specification back and closes the list (the box keeps the focus).
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() == Qt::Key_Escape) {
            m_model->FileSpecBoxEscape();
            return false;
        }
        return !k->text().isEmpty() && k->text().at(0).isPrint();
    }
    if (!inBox)
        return false;
    switch (event->type()) {
    case QEvent::FocusIn:
        emit fileSpecBoxFocused();
        break;
    case QEvent::FocusOut: {
        // Moving into the box's own drop-down list is not leaving the box.
        QWidget* now = QApplication::focusWidget();
        if (now && (now == box || box->isAncestorOf(now) || now == view))
            break;
        if (watched == box || !box->hasFocus()) {
            m_model->ApplyTypedFileSpec(box->currentText().toStdString());
        }
        break;
    }
    case QEvent::KeyPress: {
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() == Qt::Key_F2) {
            m_model->sbExtFileSpecClick(box->currentText().toStdString());
            return true;
        }
        if (k->key() == Qt::Key_Escape) {
            m_model->FileSpecBoxEscape();
            if (view && view->isVisible())
                box->hidePopup();
            else
                restoreFocus();
            return true;
        }
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            m_model->FileSpecBoxEnter(box->currentText().toStdString());
            return true;
        }
        break;
    }
    default:
        break;
    }
    return false;
}

// ---------------------------------------------------------------------------
// FileWindowUi

void FileWindowController::setCurrDirLabel(const std::string& text) {
    if (!m_label)
        return;
    m_label->setText(QString::fromStdString(text));
    if (m_label->isVisible())
        m_label->repaint();
}

void FileWindowController::setFileWindowEnabled(bool on) {
    MainListBox->setEnabled(on);
}

void FileWindowController::setUpdating(bool on) {
    m_updating += on ? 1 : -1;
    MainListBox->viewport()->setUpdatesEnabled(m_updating <= 0);
}

void FileWindowController::entriesChanged() {
    MainListBox->setCount(m_model->Count());
    MainListBox->setCurrentIndex(m_model->Current());
    MainListBox->setPlaceholderText(m_model->ShowsUnreadDirectory() ? kNotReadYet : QString());
    MainListBox->viewport()->update();
}

void FileWindowController::entryChanged(int index) {
    MainListBox->invalidateItem(index);
}

void FileWindowController::currentChanged(int index) {
    if (MainListBox->count() != m_model->Count())
        MainListBox->setCount(m_model->Count());
    MainListBox->setCurrentIndex(index);
    NotifyCurrentRowChanged(MainListBox);
}

int FileWindowController::topIndex() const {
    return MainListBox->topIndex();
}

void FileWindowController::setTopIndex(int index) {
    MainListBox->setTopIndex(index);
}

void FileWindowController::repaintFileWindow() {
    MainListBox->viewport()->update();
}

bool FileWindowController::fileWindowHasFocus() const {
    return MainListBox->hasFocus();
}

bool FileWindowController::treeHasFocus() const {
    return m_tree && m_tree->hasFocus();
}

bool FileWindowController::SelectFile(std::string_view name) {
    for (int i = 0, n = m_model->Count(); i < n; ++i)
        if (const TFileClass* f = m_model->Record(i); f && f->FileName() == name) {
            m_model->SetCurrent(i);
            focusFileWindow();
            return true;
        }
    return false;
}

void FileWindowController::focusFileWindow() {
    if (MainListBox->isEnabled())
        MainListBox->setFocus(Qt::OtherFocusReason);
}

void FileWindowController::focusTree() {
    // A label being edited in the tree keeps the focus: taking it would end
    // the edit (an empty new directory's fill comes while it is named).
    if (m_tree && m_tree->isAncestorOf(QApplication::focusWidget()))
        return;
    if (m_tree)
        m_tree->setFocus(Qt::OtherFocusReason);
    else
        emit treeFocusRequested();
}

void FileWindowController::restoreFocus() {
    // The focus stays where the user just put it when that is the tree or the
    // file window; otherwise it goes back to the one that had it last.
    QWidget* now = QApplication::focusWidget();
    if (now && (now == MainListBox || now == m_tree))
        return;
    // Nor does it leave another pane of the window that the user went to (the
    // drive list by Tab or a click, a prompt of the command strip): only a
    // focus that went nowhere useful (a hidden control, a button, nothing)
    // comes back. The specification box gives it back when it is done.
    if (now && now->isVisible() && now->window() == MainListBox->window() &&
        (now->focusPolicy() & Qt::TabFocus) && !qobject_cast<QAbstractButton*>(now) &&
        !(m_specBox && (now == m_specBox || m_specBox->isAncestorOf(now))))
        return;
    QWidget* target = m_lastFocused ? m_lastFocused.data() : m_tree.data();
    if (target && target->isEnabled())
        target->setFocus(Qt::OtherFocusReason);
    else if (m_tree)
        m_tree->setFocus(Qt::OtherFocusReason);
}

void FileWindowController::scrollTreeSelectionIntoView() {
    emit treeSelectionScrollRequested();
}

void FileWindowController::lockTreeUpdates(bool on) {
    if (m_tree)
        m_tree->setUpdatesEnabled(!on);
    emit treeUpdatesLocked(on);
}

void FileWindowController::setMaximized(bool on) {
    emit maximizedChanged(on);
}

bool FileWindowController::currentFilePanelVisible() const {
    return !m_stats->pnCurFile->isHidden();
}

void FileWindowController::statisticsChanged() {
    m_stats->showStatistics(m_model->Statistics());
}

void FileWindowController::currentFileChanged() {
    m_stats->showCurrentFile(m_model->CurrentFile());
    emit currentFileUpdated();
}

void FileWindowController::fileSpecChanged() {
    if (m_specBox) {
        const QString text = QString::fromStdString(m_model->FileSpecBoxText());
        if (m_specBox->currentText() != text)
            m_specBox->setEditText(text);
    }
    m_stats->showInversion(m_model->FileSpecInverted());
}

void FileWindowController::sortStateChanged() {
    m_header->viewport()->update();
    emit sortStateUpdated();
}

void FileWindowController::formatChanged() {
    MainListBox->setItemHeight(m_model->ItemHeight());
    MainListBox->setColumns(m_model->Columns());
    m_header->setVisible(m_model->Columns() == 0);
    m_header->setOffset(m_model->Columns() == 0 ? MainListBox->horizontalOffset() : 0);
    emit displayStateUpdated();
}

void FileWindowController::focusFileSpecBox() {
    if (!m_specBox)
        return;
    m_specBox->setFocus(Qt::OtherFocusReason);
    if (m_specBox->lineEdit())
        m_specBox->lineEdit()->selectAll();
}

int FileWindowController::fontHeight() const {
    return m_metrics.height();
}

void FileWindowController::runCommand(FileCommand command) {
    switch (command) {
    case FileCommand::SortFileWindow:
        SortFileWindow();
        return;
    case FileCommand::PopupAtCurrent: {
        // As a right click 20 pixels right of and 10 below the entry's corner.
        const int current = m_model->Current();
        if (current >= 0 && !MainListBox->isItemVisible(current))
            MainListBox->setTopIndex(current);
        const QRect r = MainListBox->itemRect(current);
        const QPoint at = r.isEmpty() ? QPoint(20, 10) : QPoint(r.left() + 20, r.top() + 10);
        rightClickAt(current, at, QApplication::keyboardModifiers() & Qt::ShiftModifier);
        return;
    }
    default:
        emit commandRequested(command);
        return;
    }
}

} // namespace zentrix
