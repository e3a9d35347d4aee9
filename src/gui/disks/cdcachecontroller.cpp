#include "gui/disks/cdcachecontroller.h"

#include "catalogue/cdcache.h"
#include "gui/app/mainstatusbar.h"

#include <QStackedWidget>
#include <QWidget>

namespace zentrix {

CdCacheController::CdCacheController(Catalogue& catalogue, AppState& state, Settings& settings,
                                     DiskLogger& logger, Prompter& prompter, Progress& progress,
                                     CatalogueUi& ui, QObject* parent)
    : QObject(parent), m_logger(logger),
      m_model(
          std::make_unique<CdCache>(catalogue, state, settings, logger, prompter, progress, ui)) {
    setObjectName("CdCacheController");
    m_logger.SetCdCacheLoader(m_model.get());
    m_model->ShowTitleView = [this](bool on) {
        showTitleView(on);
    };
    m_commands["ArchiveCDROMDisk"] = [this] {
        m_model->ArchiveCDROMDisk();
    };
}

CdCacheController::~CdCacheController() {
    m_logger.SetCdCacheLoader(nullptr);
}

void CdCacheController::InstallTitleView(QWidget* mainArea, QStackedWidget* pages,
                                         QWidget* titlePage, TMainStatusBar* statusBar) {
    m_mainArea = mainArea;
    m_pages = pages;
    m_titlePage = titlePage;
    m_statusBar = statusBar;
}

void CdCacheController::showTitleView(bool on) {
    if (on) {
        if (m_statusBar)
            m_statusBar->setHint(QString());
        if (m_mainArea)
            m_mainArea->hide();
        if (m_pages) {
            m_pagesVisibleBefore = m_pages->isVisibleTo(m_pages->parentWidget());
            m_pageBefore = m_pages->currentWidget();
            if (m_titlePage)
                m_pages->setCurrentWidget(m_titlePage);
            m_pages->show();
        }
        return;
    }
    if (m_pages) {
        if (m_pageBefore)
            m_pages->setCurrentWidget(m_pageBefore);
        m_pages->setVisible(m_pagesVisibleBefore);
    }
    if (m_mainArea)
        m_mainArea->show();
}

} // namespace zentrix
