#pragma once

// How the main window takes this controller in (TMainForm), once the status
// line exists:
//
//   m_cdCache = new CdCacheController(m_cat, m_state, m_settings, *m_logger, *m_prompter,
//                                     *MainStatusBar, *this, this);
//   m_cdCache->InstallTitleView(scVertical, ZenPageControl, ts_TitlePage, MainStatusBar);
//   // in buildCommands():
//   for (const auto& [name, handler] : m_cdCache->commands())
//       m_commands[name] = handler;
//   // in the destructor, before the logger goes:
//   delete m_cdCache;

#include <QObject>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <string>

class QStackedWidget;
class QWidget;

namespace zentrix {

class AppState;
class Catalogue;
class CatalogueUi;
class CdCache;
class DiskLogger;
class Progress;
class Prompter;
class TMainStatusBar;
struct Settings;

/// The CD-ROM cache's command ("&Archive CD-ROM disk") and the loading of a
/// CD-ROM's catalogue from its cache when the drive is logged (it installs the
/// cache in the disk logger for as long as it lives).
class CdCacheController : public QObject {
    Q_OBJECT
public:
    using Command = std::function<void()>;

    CdCacheController(Catalogue& catalogue, AppState& state, Settings& settings, DiskLogger& logger,
                      Prompter& prompter, Progress& progress, CatalogueUi& ui, QObject* parent);
    ~CdCacheController() override;

    CdCache& model() { return *m_model; }
    const std::map<std::string, Command>& commands() const { return m_commands; }

    /// What the window shows while a cache loads: the main area hidden and the
    /// title page of the command strip in its place, the status hint cleared.
    void InstallTitleView(QWidget* mainArea, QStackedWidget* pages, QWidget* titlePage,
                          TMainStatusBar* statusBar);

private:
    void showTitleView(bool on);

    DiskLogger& m_logger;
    std::unique_ptr<CdCache> m_model;
    std::map<std::string, Command> m_commands;
    QPointer<QWidget> m_mainArea;
    QPointer<QStackedWidget> m_pages;
    QPointer<QWidget> m_titlePage;
    QPointer<TMainStatusBar> m_statusBar;
    // What the title view changed, to put back.
    QPointer<QWidget> m_pageBefore;
    bool m_pagesVisibleBefore = false;
};

} // namespace zentrix
