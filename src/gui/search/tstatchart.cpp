#include "gui/search/tstatchart.h"

#include "gui/controls/a11y.h"
#include "search/dirstatistics.h"

#include <QPainter>

#include <algorithm>

namespace zentrix {

QString ShortSize(quint64 bytes) {
    static const char* const kUnits[] = {"bytes", "KB", "MB", "GB", "TB", "PB"};
    double value = static_cast<double>(bytes);
    int unit = 0;
    while (value >= 1024 && unit < 5) {
        value /= 1024;
        ++unit;
    }
    return unit == 0 ? QString("%1 bytes").arg(bytes)
                     : QString("%1 %2").arg(value, 0, 'f', value < 10 ? 1 : 0).arg(kUnits[unit]);
}

TStatChart::TStatChart(QWidget* parent) : QWidget(parent) {
    NameComponent(this, "DirStatisticsCharts", "Statistics charts");
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    describe();
}

void TStatChart::clear() {
    m_years.clear();
    m_types.clear();
    describe();
    update();
}

void TStatChart::setFigures(const DirTotals& totals) {
    m_years.clear();
    m_types.clear();
    for (int y = DirTotals::kFirstYear; y <= DirTotals::kLastYear; ++y)
        if (const DirTotals::Year& year = totals.year(y); year.files > 0)
            m_years.push_back({QString::number(y), year.bytes, year.files});
    Bar other{"Other", 0, 0};
    for (const TExtClass& type : totals.types.Items()) {
        if (m_types.size() < kMaxTypes) {
            const QString ext = QString::fromStdString(type.Ext);
            m_types.push_back({ext.isEmpty() ? QString("(none)") : ext, type.Bytes, type.Files});
        } else {
            other.bytes += type.Bytes;
            other.files += type.Files;
        }
    }
    if (other.files > 0)
        m_types.push_back(other);
    describe();
    updateGeometry();
    update();
}

void TStatChart::describe() {
    QStringList lines;
    auto add = [&](const QString& title, const std::vector<Bar>& bars) {
        lines << title;
        for (const Bar& bar : bars)
            lines << QString("%1: %2 in %3 files")
                         .arg(bar.label, ShortSize(bar.bytes))
                         .arg(bar.files);
    };
    add("Bytes by year:", m_years);
    add("Bytes by file type:", m_types);
    setAccessibleDescription(lines.join('\n'));
}

QSize TStatChart::sizeHint() const {
    const int row = fontMetrics().height() + 4;
    return {300, static_cast<int>(m_years.size() + m_types.size() + 4) * row};
}

int TStatChart::drawSection(QPainter& p, int top, const QString& title,
                            const std::vector<Bar>& bars) {
    const QFontMetrics fm = fontMetrics();
    const int row = fm.height() + 4;
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(palette().color(QPalette::Text));
    p.drawText(4, top + fm.ascent() + 2, title);
    p.setFont(font());
    top += row;
    int labelWidth = 0;
    quint64 largest = 1;
    for (const Bar& bar : bars) {
        labelWidth = std::max(labelWidth, fm.horizontalAdvance(bar.label));
        largest = std::max(largest, bar.bytes);
    }
    const int barLeft = 8 + labelWidth + 6;
    const int valueWidth = fm.horizontalAdvance("9999.9 MB");
    const int barSpace = std::max(10, width() - barLeft - valueWidth - 10);
    for (const Bar& bar : bars) {
        p.setPen(palette().color(QPalette::Text));
        p.drawText(8, top + fm.ascent() + 2, bar.label);
        const int w = static_cast<int>(static_cast<double>(bar.bytes) /
                                       static_cast<double>(largest) * barSpace);
        p.fillRect(barLeft, top + 2, std::max(w, bar.bytes ? 1 : 0), row - 4,
                   palette().color(QPalette::Highlight));
        p.drawText(barLeft + w + 4, top + fm.ascent() + 2, ShortSize(bar.bytes));
        top += row;
    }
    return top + row / 2;
}

void TStatChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (m_years.empty() && m_types.empty()) {
        p.setPen(palette().color(QPalette::PlaceholderText));
        p.drawText(rect(), Qt::AlignCenter, "Scan a directory to see its figures.");
        return;
    }
    int top = 4;
    top = drawSection(p, top, "Bytes by year", m_years);
    drawSection(p, top, "Bytes by file type", m_types);
}

} // namespace zentrix
