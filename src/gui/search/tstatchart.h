#pragma once

#include <QString>
#include <QWidget>

#include <vector>

namespace zentrix {

struct DirTotals;

/// The statistics as two bar charts: bytes by year of the last write and
/// bytes by file type (the largest types). Its accessible description lists
/// what the bars show.
class TStatChart : public QWidget {
    Q_OBJECT
public:
    explicit TStatChart(QWidget* parent = nullptr);

    struct Bar {
        QString label;
        quint64 bytes = 0;
        quint64 files = 0;
    };
    /// Takes the figures (types already sorted, largest first).
    void setFigures(const DirTotals& totals);
    void clear();
    const std::vector<Bar>& years() const { return m_years; }
    const std::vector<Bar>& types() const { return m_types; }

    /// The types drawn at most; the rest are one bar, "Other".
    static constexpr size_t kMaxTypes = 12;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void describe();
    int drawSection(class QPainter& p, int top, const QString& title, const std::vector<Bar>& bars);

    std::vector<Bar> m_years;
    std::vector<Bar> m_types;
};

/// "1.5 MB": a size in the largest unit that keeps it at least 1.
QString ShortSize(quint64 bytes);

} // namespace zentrix
