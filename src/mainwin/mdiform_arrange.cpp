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

// Arrangements of the browser windows and opening a window from an arrangement record.

namespace orv {

void MDIForm1::ArrangeByCheckedItem()
{
    auto checked = [this](const char* name) {
        const QAction* a = Item(QString::fromLatin1(name));
        return a && a->isChecked();
    };
    if (checked("mn_Untereinander"))
        Arrange(1);
    else if (checked("mn_Kaskadiert"))
        Arrange(0);
    else if (checked("mn_Nebeneinander"))
        Arrange(2);
}

void MDIForm1::Arrange(int arrangement)
{
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : m_mdi->subWindowList(QMdiArea::CreationOrder))
        if (!w->isMinimized() && !w->isHidden())
            windows.append(w);
    if (windows.isEmpty())
        return;
    if (arrangement == 0) {
        m_mdi->cascadeSubWindows();
        return;
    }
    for (QMdiSubWindow* w : windows)
        if (w->isMaximized())
            w->showNormal();
    const QRect area = m_mdi->viewport()->rect();
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        QRect r;
        if (arrangement == 1) {
            const int h = area.height() / n;
            r = QRect(0, i * h, area.width(), i == n - 1 ? area.height() - i * h : h);
        } else {
            const int w = area.width() / n;
            r = QRect(i * w, 0, i == n - 1 ? area.width() - i * w : w, area.height());
        }
        windows[i]->setGeometry(r);
    }
}

void MDIForm1::setArrangementCheck(const QString& name)
{
    for (const char* item : {"mn_Untereinander", "mn_Nebeneinander", "mn_Kaskadiert"})
        if (QAction* a = Item(QString::fromLatin1(item)))
            a->setChecked(name == QLatin1String(item));
}

void MDIForm1::OpenLayoutItem(const LayoutOpenArgs& args)
{
    HistoryUrl = args.HistoryUrl();
    frmBrowser* window = CreateBrowser(QStringLiteral("mdi"), false);
    if (!window) {
        HistoryUrl.clear();
        return;
    }
    if (args.IsFeed())
        window->sXmlFeedUrl = args.sUrl;
    window->Navigate(QString());
    if (args.AppliesGeometry()) {
        if (args.SetsNormalFirst())
            window->showNormal();
        // Stored in twips, 15 to the pixel.
        window->setGeometry(args.nLeft / 15, args.nTop / 15, args.nWidth / 15, args.nHeight / 15);
        window->SetWindowState(args.nState);
        BandBar* bar = window->CoolBar1;
        const bool shown = args.ShowsBandBar();
        bar->setBandVisible(QStringLiteral("Anim"), shown);
        bar->setBandVisible(QStringLiteral("Toolbar"), shown && args.bToolb);
        bar->setBandVisible(QStringLiteral("Adress"), shown && args.bAdress);
        bar->setVisible(shown);
        window->PubResize();
    }
    HistoryUrl.clear();
}

void MDIForm1::buildWindowMenu(QMenu* menu)
{
    auto arrangement = [this, menu](const QString& name, const QString& caption, int value) {
        QAction* a = AddItem(menu, name, caption, [this, name, value] {
            Arrange(value);
            setArrangementCheck(name);
        });
        a->setCheckable(true);
    };
    arrangement(QStringLiteral("mn_Untereinander"), Txt(401), 1);
    arrangement(QStringLiteral("mn_Nebeneinander"), Txt(402), 2);
    arrangement(QStringLiteral("mn_Kaskadiert"), Txt(403), 0);
    menu->addSeparator();
    m_activeMenu = menu->addMenu(Txt(406));
    m_activeMenu->setObjectName(QStringLiteral("mn_Aktives"));
    QAction* both =
        AddItem(m_activeMenu, QStringLiteral("mn_beides"), Txt(409), [this] { ToggleBothToolb(); });
    both->setCheckable(true);
    both->setChecked(true);
    AddItem(m_activeMenu, QStringLiteral("mn_Aktivschließen"), Txt(410), [this] {
        if (frmBrowser* w = ActiveBrowser())
            w->close();
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F12));
    AddItem(menu, QStringLiteral("mn_ClosePopups"), Txt(426), [this] { ClosePopups(); });
    AddItem(menu, QStringLiteral("mn_CloseAllOtherWin"), Txt(422),
            [this] { StartWaitMethod(2, 50); });
    AddItem(menu, QStringLiteral("mn_Alleschließen"), Txt(411), [this] {
        setCursor(Qt::WaitCursor);
        CloseAllBrowser();
        unsetCursor();
    });
}

void MDIForm1::buildSteppingItems()
{
    for (const char* name : {"mn_firstwindow", "mn_prevwindow", "mn_nextwindow", "mn_lastwindow"}) {
        auto* a = new QAction(this);
        a->setObjectName(QString::fromLatin1(name));
        m_items.insert(a->objectName(), a);
    }
    Item(QStringLiteral("mn_firstwindow"))->setText(Txt(1600));
    Item(QStringLiteral("mn_prevwindow"))->setText(Txt(1601));
    Item(QStringLiteral("mn_nextwindow"))->setText(Txt(1602));
    Item(QStringLiteral("mn_lastwindow"))->setText(Txt(1603));
    const int steps[4] = {0, -1, 1, -2};
    const char* names[4] = {"mn_firstwindow", "mn_prevwindow", "mn_nextwindow", "mn_lastwindow"};
    for (int i = 0; i < 4; ++i) {
        QAction* a = Item(QString::fromLatin1(names[i]));
        menuBar()->addAction(a);
        const int step = steps[i];
        connect(a, &QAction::triggered, this, [this, step] {
            const int n = m_tabs->count();
            if (n == 0)
                return;
            const int current = m_tabs->currentIndex();
            int target = 0;
            if (step == 0)
                target = 0;
            else if (step == -2)
                target = n - 1;
            else
                target = (current + step + n) % n;
            if (target != current)
                m_tabs->setCurrentIndex(target);
        });
    }
    SetMenuPrevNext();
}

void MDIForm1::SetMenuPrevNext()
{
    const bool visible = m_browser.size() >= 2;
    for (const char* name : {"mn_firstwindow", "mn_prevwindow", "mn_nextwindow", "mn_lastwindow"})
        if (QAction* a = Item(QString::fromLatin1(name)))
            a->setVisible(visible);
}

void MDIForm1::MenuFenster() {}

} // namespace orv
