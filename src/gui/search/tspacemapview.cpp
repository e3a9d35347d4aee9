#include "gui/search/tspacemapview.h"

#include "catalogue/tree.h"
#include "catalogue/treenode.h"
#include "gui/controls/a11y.h"
#include "gui/search/tstatchart.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QToolTip>

#include <map>

namespace zentrix {
namespace {

const TTreeNode* findByPath(const TTree& tree, const std::string& path) {
    for (int i = 0; i < tree.TopCount(); ++i) {
        const TTreeNode* node = tree.Top(i);
        while (node) {
            const std::string p = node->Path();
            if (p == path)
                return node;
            if (path.compare(0, p.size(), p) != 0)
                break;
            const TTreeNode* next = nullptr;
            for (int c = 0; c < node->Count() && !next; ++c) {
                const std::string child = node->Item(c)->Path();
                if (path.compare(0, child.size(), child) == 0)
                    next = node->Item(c);
            }
            node = next;
        }
    }
    return nullptr;
}

class CellAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    CellAccessible(TSpaceMapView* view, int index) : m_view(view), m_index(index) {}

    bool isValid() const override {
        return m_view && m_index < static_cast<int>(m_view->map().Cells().size());
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return m_view ? QAccessible::queryAccessibleInterface(m_view.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QString text(QAccessible::Text t) const override {
        if (!isValid())
            return {};
        if (t == QAccessible::Name)
            return m_view->cellName(m_index);
        if (t == QAccessible::Description)
            return m_view->cellDescription(m_index);
        return {};
    }
    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect r = m_view->cellRect(m_index);
        return QRect(m_view->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.invalid = !isValid();
        s.invisible = !m_view || !m_view->isVisible();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
    void doAction(const QString& name) override {
        if (name == pressAction() && isValid())
            m_view->clickCell(m_index);
    }
    int index() const { return m_index; }
    TSpaceMapView* view() const { return m_view.data(); }

private:
    QPointer<TSpaceMapView> m_view;
    int m_index;
};

class SpaceMapAccessible : public QAccessibleWidget {
public:
    explicit SpaceMapAccessible(TSpaceMapView* view)
        : QAccessibleWidget(view, QAccessible::List), m_view(view) {}
    ~SpaceMapAccessible() override {
        for (const auto& [index, id] : m_children)
            QAccessible::deleteAccessibleInterface(id);
    }
    int childCount() const override {
        return m_view ? static_cast<int>(m_view->map().Cells().size()) : 0;
    }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (auto it = m_children.find(index); it != m_children.end())
            if (QAccessibleInterface* known = QAccessible::accessibleInterface(it->second))
                return known;
        auto* item = new CellAccessible(m_view, index);
        m_children[index] = QAccessible::registerAccessibleInterface(item);
        return item;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* cell = dynamic_cast<const CellAccessible*>(child);
        return cell && cell->view() == m_view && cell->index() < childCount() ? cell->index() : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        if (!m_view)
            return nullptr;
        const QPoint local = m_view->mapFromGlobal(QPoint(x, y));
        const int cell = m_view->map().CellAt(local.x(), local.y());
        return cell >= 0 ? child(cell) : nullptr;
    }

private:
    QPointer<TSpaceMapView> m_view;
    mutable std::map<int, QAccessible::Id> m_children;
};

QAccessibleInterface* spaceMapFactory(const QString& className, QObject* object) {
    if (object && object->isWidgetType() && className == QLatin1String("zentrix::TSpaceMapView"))
        return new SpaceMapAccessible(static_cast<TSpaceMapView*>(object));
    return nullptr;
}

} // namespace

TSpaceMapView::TSpaceMapView(TTree& tree, QWidget* parent) : QWidget(parent), m_tree(tree) {
    static const bool installed = [] {
        QAccessible::installFactory(spaceMapFactory);
        return true;
    }();
    (void)installed;
    NameComponent(this, "DirSpaceMap", "Space map");
    setMouseTracking(true);
    setMinimumSize(60, 40);
    m_tree.AddObserver(this);
}

TSpaceMapView::~TSpaceMapView() {
    m_tree.RemoveObserver(this);
}

void TSpaceMapView::setBranch(const TTreeNode* node) {
    m_branchPath = node ? node->Path() : std::string();
    invalidate();
}

void TSpaceMapView::invalidate() {
    m_stale = true;
    if (isVisible())
        update();
}

const SpaceMap& TSpaceMapView::map() {
    if (m_stale)
        layout();
    return m_map;
}

void TSpaceMapView::layout() {
    m_stale = false;
    m_hover = -1;
    const TTreeNode* branch =
        m_branchPath.empty() ? m_tree.Selected() : findByPath(m_tree, m_branchPath);
    m_map.Build(branch, {0, 0, double(width()), double(height())});
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

QString TSpaceMapView::cellName(int index) {
    const auto& cells = map().Cells();
    if (index < 0 || index >= static_cast<int>(cells.size()))
        return {};
    const SpaceMap::Cell& c = cells[static_cast<size_t>(index)];
    const QString path = QString::fromStdString(c.path);
    return (c.files ? "Files of " + path : path) + ", " + ShortSize(c.bytes);
}

QString TSpaceMapView::cellDescription(int index) {
    const auto& cells = map().Cells();
    if (index < 0 || index >= static_cast<int>(cells.size()))
        return {};
    return QString("%1 bytes").arg(cells[static_cast<size_t>(index)].bytes);
}

QRect TSpaceMapView::cellRect(int index) {
    const auto& cells = map().Cells();
    if (index < 0 || index >= static_cast<int>(cells.size()))
        return {};
    const TreemapRect& r = cells[static_cast<size_t>(index)].rect;
    return QRectF(r.x, r.y, r.w, r.h).toAlignedRect();
}

void TSpaceMapView::clickCell(int index) {
    const auto& cells = map().Cells();
    if (index < 0 || index >= static_cast<int>(cells.size()))
        return;
    const SpaceMap::Cell& c = cells[static_cast<size_t>(index)];
    const int dir = c.files ? c.parent : index;
    const std::string path = cells[static_cast<size_t>(dir)].path;
    if (onDirectoryClicked)
        onDirectoryClicked(path);
}

QColor TSpaceMapView::colorOf(const SpaceMap::Cell& cell) const {
    // Depth gives the hue, so neighbouring levels stand apart.
    const int hue = (cell.depth * 47 + 200) % 360;
    return QColor::fromHsv(hue, cell.files ? 90 : 40, cell.files ? 230 : 250);
}

void TSpaceMapView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Base));
    const auto& cells = map().Cells();
    if (cells.empty() || cells.front().bytes == 0) {
        p.setPen(palette().color(QPalette::PlaceholderText));
        p.drawText(rect(), Qt::AlignCenter, "No logged files here to map.");
        return;
    }
    const QFontMetrics fm = fontMetrics();
    for (size_t i = 0; i < cells.size(); ++i) {
        const SpaceMap::Cell& c = cells[i];
        const QRectF r(c.rect.x, c.rect.y, c.rect.w, c.rect.h);
        p.fillRect(r, static_cast<int>(i) == m_hover ? palette().color(QPalette::Highlight)
                                                     : colorOf(c));
        p.setPen(QColor(0, 0, 0, 60));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        if (c.files && r.width() > 40 && r.height() > fm.height() + 2) {
            const std::string& path = c.path;
            const size_t cut = path.find_last_of('\\', path.size() - 2);
            const QString name = QString::fromStdString(
                cut == std::string::npos ? path : path.substr(cut + 1, path.size() - cut - 2));
            p.setPen(palette().color(QPalette::Text));
            p.drawText(r.adjusted(2, 1, -2, -1), Qt::AlignLeft | Qt::AlignTop,
                       fm.elidedText(name.isEmpty() ? QString::fromStdString(path) : name,
                                     Qt::ElideRight, int(r.width()) - 4));
        }
    }
}

void TSpaceMapView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_stale = true;
}

void TSpaceMapView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_stale = true;
}

void TSpaceMapView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    clickCell(map().CellAt(event->position().x(), event->position().y()));
}

void TSpaceMapView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseDoubleClickEvent(event);
    const int dir = map().DirectoryAt(event->position().x(), event->position().y());
    if (dir >= 0 && onDirectoryOpened)
        onDirectoryOpened(m_map.Cells()[static_cast<size_t>(dir)].path);
}

bool TSpaceMapView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int cell = map().CellAt(help->pos().x(), help->pos().y());
        if (cell >= 0)
            QToolTip::showText(help->globalPos(), cellName(cell), this);
        else
            QToolTip::hideText();
        return true;
    }
    if (event->type() == QEvent::MouseMove) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const int cell = map().DirectoryAt(mouse->position().x(), mouse->position().y());
        if (cell != m_hover) {
            m_hover = cell;
            update();
        }
    }
    if (event->type() == QEvent::Leave && m_hover >= 0) {
        m_hover = -1;
        update();
    }
    return QWidget::event(event);
}

} // namespace zentrix
