#include "gui/view/quickviewcontroller.h"

#include "config/settings.h"
#include "gui/app/mainmenubar.h"
#include "gui/app/tquickviewpane.h"
#include "gui/controls/a11y.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

namespace zentrix {

QuickViewController::QuickViewController(TQuickViewPane* pane, Settings& settings,
                                         QTimer* mediaTimer, QObject* parent)
    : QObject(parent), m_pane(pane), m_settings(settings), m_timer(mediaTimer) {
    btnQuickFileView = new QToolButton(pane->parentWidget());
    NameComponent(btnQuickFileView, "btnQuickFileView", "Quick view");
    btnQuickFileView->setText("Quick view");
    btnQuickFileView->setToolTip("Quick view on/off (right click: options)");
    btnQuickFileView->setCheckable(true);
    btnQuickFileView->setChecked(settings.QuickView);
    btnQuickFileView->setFocusPolicy(Qt::NoFocus);
    btnQuickFileView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(btnQuickFileView, &QToolButton::clicked, this, [this] { btnQuickFileViewClick(); });

    m_timer->setInterval(250);
    connect(m_timer, &QTimer::timeout, m_pane, &TQuickViewPane::MediaTimerTimer);
    connect(m_pane, &TQuickViewPane::playbackChanged, this, [this](bool playing) {
        if (playing)
            m_timer->start();
        else
            m_timer->stop();
        m_pane->MediaTimerTimer();
    });
    connect(m_pane, &TQuickViewPane::warning, this, [this](const QString& text) {
        if (warn)
            warn(text.toStdString());
    });
    connect(m_pane, &TQuickViewPane::escapePressed, this, [this] {
        if (focusFileWindow)
            focusFileWindow();
    });
    m_commands = {
        {"btnQuickFileViewClick",
         [this] {
             btnQuickFileViewClick();
         }},
        {"pmiAutoPlayClick",
         [this] {
             pmiAutoPlayClick();
         }},
    };
}

void QuickViewController::attachMenus(MainMenuBar& menus) {
    m_menus = &menus;
    connect(btnQuickFileView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) {
                if (QMenu* menu = m_menus->menu("pmAutoPlay"))
                    menu->exec(btnQuickFileView->mapToGlobal(pos));
            });
    if (QMenu* menu = menus.menu("pmAutoPlay")) {
        connect(menu, &QMenu::aboutToShow, this, [this] {
            if (QAction* quick = m_menus->action("pmiQuickView"); quick) {
                quick->setCheckable(true);
                quick->setChecked(m_settings.QuickView);
            }
            for (QAction* a : m_menus->menu("pmAutoPlay")->actions())
                if (a->property("command").toString() == "pmiAutoPlayClick") {
                    a->setCheckable(true);
                    a->setChecked(m_settings.AutoPlay);
                    a->setEnabled(m_settings.QuickView);
                }
        });
    }
    if (QMenu* menu = menus.menu("pmQView")) {
        connect(menu, &QMenu::aboutToShow, this, [menu] {
            const bool clipboardText = !QGuiApplication::clipboard()->text().isEmpty();
            for (QAction* a : menu->actions())
                if (a->property("command").toString() == "pmiQViewAppendToClipboardClick")
                    a->setEnabled(clipboardText);
        });
    }
    connect(m_pane, &TQuickViewPane::picturePopupRequested, this, [this](const QPoint& pos) {
        if (QMenu* menu = m_menus->menu("pmImgQuick")) {
            // Opening the picture's popup copies the picture.
            m_pane->CopyPictureToClipboard();
            menu->exec(pos);
        }
    });
}

void QuickViewController::btnQuickFileViewClick() {
    m_pane->btnStopClick();
    m_settings.QuickView = !m_settings.QuickView;
    btnQuickFileView->setChecked(m_settings.QuickView);
    if (focusFileWindow)
        focusFileWindow();
    if (updatePanel)
        updatePanel();
}

void QuickViewController::pmiAutoPlayClick() {
    if (!m_settings.QuickView)
        return;
    m_settings.AutoPlay = !m_settings.AutoPlay;
}

} // namespace zentrix
