#include "mainwin/mdiform.h"

#include "app/texts.h"
#include "browser/bandbar.h"
#include "browser/frmbrowser.h"
#include "platform/icons.h"
#include "prefs/prefer.h"

#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>

// The tab strip: one tab per browser window under its key.

namespace orv {

void MDIForm1::buildTabStrip()
{
    m_tabBar = new QToolBar(this);
    m_tabBar->setObjectName(QStringLiteral("Toolbar1"));
    m_tabBar->setAccessibleName(QStringLiteral("Registerzeile"));
    m_tabBar->setMovable(false);
    m_tabBar->setFloatable(false);
    m_tabs = new QTabBar(m_tabBar);
    m_tabs->setObjectName(QStringLiteral("TabStrip1"));
    m_tabs->setAccessibleName(QStringLiteral("Register"));
    m_tabs->setExpanding(false);
    m_tabs->setUsesScrollButtons(true);
    m_tabs->setElideMode(Qt::ElideRight);
    m_tabs->setAcceptDrops(true);
    m_tabBar->addWidget(m_tabs);
    addToolBar(Qt::TopToolBarArea, m_tabBar);
    connect(m_tabs, &QTabBar::currentChanged, this, &MDIForm1::TabStrip1_Click);
}

int MDIForm1::TabIndexOfKey(const QString& key) const
{
    for (int i = 0; i < m_tabs->count(); ++i)
        if (m_tabs->tabData(i).toString() == key)
            return i;
    return -1;
}

QString MDIForm1::StrToCaption(const QString& text)
{
    QString caption = text;
    caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    return caption;
}

void MDIForm1::CreateTab(int number, const QString& sCap)
{
    const QSignalBlocker block(m_tabs);
    const int index = m_tabs->addTab(TabImage(2), sCap);
    m_tabs->setTabData(index, QStringLiteral("[%1]").arg(number));
    m_tabs->setTabToolTip(index, sCap);
}

void MDIForm1::RemoveTab(int nKey)
{
    const QString key = QStringLiteral("[%1]").arg(nKey);
    if (frmBrowser* w = m_byKey.take(key))
        m_browser.removeOne(w);
    const int index = TabIndexOfKey(key);
    if (index >= 0) {
        const QSignalBlocker block(m_tabs);
        m_tabs->removeTab(index);
        m_lastTabIndex = m_tabs->currentIndex();
    }
    bExitloop = false;
    if (m_browser.isEmpty())
        SetToolbarVisible(false);
    Q_EMIT browserRemoved(nKey);
}

void MDIForm1::UpdateTab()
{
    frmBrowser* active = ActiveBrowser();
    if (!active) {
        SetToolbarVisible(false);
        return;
    }
    const QAction* reg = Item(QStringLiteral("mn_Register"));
    if (m_browser.isEmpty() || !reg || !reg->isChecked())
        return;
    const int index = TabIndexOfKey(active->WindowKey());
    if (index < 0)
        return;
    m_tabs->setCurrentIndex(index);
    const QString caption = active->windowTitle();
    if (!caption.isEmpty()) {
        m_tabs->setTabText(index, StrToCaption(caption));
        m_tabs->setTabToolTip(index, StrToCaption(caption));
    }
}

void MDIForm1::SetTapTitle(const QString& title, int number)
{
    if (title.isEmpty() || number <= 0)
        return;
    const int index = TabIndexOfKey(QStringLiteral("[%1]").arg(number));
    if (index < 0)
        return;
    m_tabs->setTabText(index, StrToCaption(title));
    m_tabs->setTabToolTip(index, StrToCaption(title));
}

void MDIForm1::TabStrip1_Click(int index)
{
    if (index != m_lastTabIndex && m_lastTabIndex >= 0 && m_lastTabIndex < m_tabs->count())
        m_tabs->setTabIcon(m_lastTabIndex, TabImage(2));
    m_lastTabIndex = index;
    if (index < 0)
        return;
    m_tabs->setTabIcon(index, TabImage(1));
    const QString key = m_tabs->tabData(index).toString();
    if (key.size() < 3 || key.mid(1, key.size() - 2).toInt() <= 0)
        return;
    frmBrowser* window = BrowserByKey(key);
    if (!window || !ActiveBrowser())
        return;
    m_mdi->setActiveSubWindow(window);
    const QString caption = window->sTitle.isEmpty() ? window->LocationURL() : window->sTitle;
    m_tabs->setTabText(index, StrToCaption(caption));
    m_tabs->setTabToolTip(index, StrToCaption(caption));
}

void MDIForm1::SetToolbarVisible(bool visible)
{
    m_tabBar->setVisible(visible);
    m_tabs->setVisible(visible);
}

void MDIForm1::SetToolbarPos(int nAlign, bool bStyleButton)
{
    removeToolBar(m_tabBar);
    addToolBar(nAlign == 2 ? Qt::BottomToolBarArea : Qt::TopToolBarArea, m_tabBar);
    m_tabs->setShape(nAlign == 2 ? QTabBar::RoundedSouth : QTabBar::RoundedNorth);
    m_tabs->setDocumentMode(bStyleButton);
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(8.25);
    font.setBold(m_prefer.TabFontBold() > 0);
    m_tabs->setFont(font);
    const bool visible = bTabVisible && !m_browser.isEmpty();
    SetToolbarVisible(visible);
}

void MDIForm1::buildTabStripItems(QMenu* view)
{
    Q_UNUSED(view);
    QAction* reg = new QAction(Txt(306), this);
    reg->setObjectName(QStringLiteral("mn_Register"));
    reg->setCheckable(true);
    reg->setChecked(true);
    m_items.insert(reg->objectName(), reg);
}

} // namespace orv
