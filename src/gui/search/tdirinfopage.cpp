#include "gui/search/tdirinfopage.h"

#include "gui/controls/a11y.h"
#include "gui/search/tspacemapview.h"
#include "gui/search/tstatchart.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zentrix {

TDirInfoPage::TDirInfoPage(TTree& tree, QWidget* parent) : QWidget(parent) {
    NameComponent(this, "tsDirInfo", "Directory information page");
    // The page shares the tree's panel, which the user may make small: what
    // it holds must not set the panel's least height (the file window below
    // keeps its rows).
    setMinimumSize(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    auto* top = new QHBoxLayout;
    btnScan = new QPushButton("&Scan", this);
    NameComponent(btnScan, "btnScan", "Scan");
    btnScan->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    top->addWidget(btnScan);
    top->addStretch(1);
    layout->addLayout(top);

    pnDirInfoViews = new QTabWidget(this);
    NameComponent(pnDirInfoViews, "pnDirInfoViews", "Directory information views");
    pnDirInfoViews->setDocumentMode(true);
    meDirStatistics = new QPlainTextEdit;
    NameComponent(meDirStatistics, "meDirStatistics", "Directory statistics");
    meDirStatistics->setReadOnly(true);
    meDirStatistics->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The report's columns line up only in a fixed-pitch font.
    meDirStatistics->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    pnDirInfoViews->addTab(meDirStatistics, "Report");
    auto* chartScroll = new QScrollArea;
    NameComponent(chartScroll, "sbDirStatisticsCharts", "Charts");
    chartScroll->setWidgetResizable(true);
    DirStatisticsCharts = new TStatChart;
    chartScroll->setWidget(DirStatisticsCharts);
    pnDirInfoViews->addTab(chartScroll, "Charts");
    DirSpaceMap = new TSpaceMapView(tree);
    pnDirInfoViews->addTab(DirSpaceMap, "Space map");
    layout->addWidget(pnDirInfoViews, 1);
}

} // namespace zentrix
