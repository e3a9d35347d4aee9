#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace zentrix {

class TSpaceMapView;
class TStatChart;
class TTree;

/// The "Info" page beside the tree: btnScan above the report (meDirStatistics),
/// its charts and the space map of the selected branch, each on a tab of
/// pnDirInfoViews.
class TDirInfoPage : public QWidget {
    Q_OBJECT
public:
    TDirInfoPage(TTree& tree, QWidget* parent = nullptr);

    QPushButton* btnScan = nullptr;
    QTabWidget* pnDirInfoViews = nullptr;
    QPlainTextEdit* meDirStatistics = nullptr;
    TStatChart* DirStatisticsCharts = nullptr;
    TSpaceMapView* DirSpaceMap = nullptr;
};

} // namespace zentrix
