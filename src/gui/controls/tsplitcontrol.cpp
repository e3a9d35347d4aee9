#include "gui/controls/tsplitcontrol.h"

#include "config/controlstate.h"
#include "config/tenhinifile.h"

#include <QSplitter>
#include <algorithm>

namespace zentrix {

TSplitControl::TSplitControl(QSplitter* splitter, QWidget* sizeTarget, QObject* parent)
    : QObject(parent), m_splitter(splitter), m_target(sizeTarget) {
    if (m_splitter)
        connect(m_splitter, &QSplitter::splitterMoved, this, &TSplitControl::OnFinish);
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
    const int size =
        ReadSplitterSize(store, m_splitter->objectName().toStdString(),
                         m_target->objectName().toStdString(), HorizontalBar(), TargetSize());
    if (size != TargetSize())
        SetTargetSize(size);
}

void TSplitControl::Save() const {
    if (!m_splitter || !m_target)
        return;
    TEnhIniFile store(StoreNameFor(IniFileName.toStdString()));
    WriteSplitterSize(store, m_splitter->objectName().toStdString(),
                      m_target->objectName().toStdString(), HorizontalBar(), TargetSize());
}

} // namespace zentrix
