#include "gui/controls/tsplitcontrol.h"

#include "config/controlstate.h"
#include "config/tenhinifile.h"

#include <QEvent>
#include <QSplitter>
#include <QTimer>
#include <algorithm>

namespace zentrix {

TSplitControl::TSplitControl(QSplitter* splitter, QWidget* sizeTarget, QObject* parent)
    : QObject(parent), m_splitter(splitter), m_target(sizeTarget) {
    if (!m_splitter)
        return;
    connect(m_splitter, &QSplitter::splitterMoved, this, &TSplitControl::OnFinish);
    connect(m_splitter, &QSplitter::splitterMoved, this, &TSplitControl::remember);
    for (int i = 0; i < m_splitter->count(); ++i)
        if (QWidget* pane = m_splitter->widget(i); pane && pane != m_target)
            pane->installEventFilter(this);
}

bool TSplitControl::allPanesShown() const {
    if (!m_splitter)
        return false;
    for (int i = 0; i < m_splitter->count(); ++i)
        if (m_splitter->widget(i)->isHidden())
            return false;
    return true;
}

void TSplitControl::remember() {
    if (allPanesShown())
        m_kept = TargetSize();
}

bool TSplitControl::eventFilter(QObject* watched, QEvent* event) {
    // Another pane shows again: the target gets back the size it had beside it,
    // once the splitter has made room for the pane.
    if (event->type() == QEvent::Show && m_kept >= 0) {
        QTimer::singleShot(0, this, [this] {
            if (allPanesShown() && m_kept >= 0)
                SetTargetSize(m_kept);
        });
    }
    return QObject::eventFilter(watched, event);
}

bool TSplitControl::HorizontalBar() const {
    return m_splitter && m_splitter->orientation() == Qt::Vertical;
}

int TSplitControl::TargetSize() const {
    if (!m_target)
        return 0;
    const int index = m_splitter ? m_splitter->indexOf(m_target) : -1;
    if (index >= 0) {
        const QList<int> sizes = m_splitter->sizes();
        if (index < sizes.size() && sizes[index] > 0)
            return sizes[index];
    }
    return HorizontalBar() ? m_target->height() : m_target->width();
}

void TSplitControl::SetTargetSize(int size) {
    if (!m_splitter || !m_target)
        return;
    const int index = m_splitter->indexOf(m_target);
    if (index < 0)
        return;
    QList<int> sizes = m_splitter->sizes();
    int total = 0;
    for (int s : sizes)
        total += s;
    // Before the splitter was laid out its panes have no size yet: the
    // neighbour then gets all the rest, not nothing.
    const bool laidOut = total > 0;
    if (!laidOut)
        total = HorizontalBar() ? m_splitter->height() : m_splitter->width();
    size = std::clamp(size, 0, std::max(total, 0));
    // The pane after the target (before it for the last pane) takes up the difference.
    const int neighbour = index + 1 < sizes.size() ? index + 1 : index - 1;
    if (neighbour >= 0)
        sizes[neighbour] =
            laidOut ? std::max(0, sizes[neighbour] + sizes[index] - size) : total - size;
    sizes[index] = size;
    m_splitter->setSizes(sizes);
}

void TSplitControl::Restore() {
    if (!m_splitter || !m_target)
        return;
    const TEnhIniFile store(StoreNameFor(IniFileName.toStdString()));
    const int size = ReadSplitterSize(store, m_splitter->objectName().toStdString(),
                                      m_target->objectName().toStdString(), HorizontalBar(), -1);
    if (size < 0)
        return;
    m_kept = size;
    if (allPanesShown() && size != TargetSize())
        SetTargetSize(size);
}

void TSplitControl::Save() const {
    if (!m_splitter || !m_target)
        return;
    // With a pane hidden the target's size says nothing: the remembered one is
    // saved, or nothing when there is none.
    const int size = allPanesShown() ? TargetSize() : m_kept;
    if (size < 0)
        return;
    TEnhIniFile store(StoreNameFor(IniFileName.toStdString()));
    WriteSplitterSize(store, m_splitter->objectName().toStdString(),
                      m_target->objectName().toStdString(), HorizontalBar(), size);
}

} // namespace zentrix
