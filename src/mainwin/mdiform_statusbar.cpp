#include "mainwin/mdiform.h"

#include "app/texts.h"
#include "browser/bandbar.h"
#include "browser/frmbrowser.h"
#include "platform/icons.h"
#include "prefs/prefer.h"

#include <QDate>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTime>
#include <QToolBar>

// The status bar with its panels.

namespace orv {

void MDIForm1::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setAccessibleName(QStringLiteral("Statuszeile"));
    m_statusDate = new QLabel(bar);
    m_statusDate->setToolTip(Txt(501));
    m_statusDate->setAccessibleName(Txt(501));
    m_statusTime = new QLabel(bar);
    m_statusTime->setToolTip(Txt(502));
    m_statusTime->setAccessibleName(Txt(502));
    m_statusText = new QLabel(bar);
    m_statusText->setToolTip(Txt(500));
    m_statusText->setAccessibleName(Txt(500));
    m_statusText->setMinimumWidth(100);
    m_statusMail = new QLabel(bar);
    m_statusMail->setToolTip(Txt(1130));
    m_statusMail->setAccessibleName(Txt(1130));
    m_statusMail->setVisible(false);
    bar->addWidget(m_statusDate);
    bar->addWidget(m_statusTime);
    bar->addWidget(m_statusText, 1);
    bar->addPermanentWidget(m_statusMail);
    auto tick = [this] {
        m_statusDate->setText(
            QLocale(QLocale::German).toString(QDate::currentDate(), QLocale::ShortFormat));
        m_statusTime->setText(QTime::currentTime().toString(QStringLiteral("HH:mm")));
    };
    tick();
    connect(&m_clock, &QTimer::timeout, this, tick);
    m_clock.start(1000);
}

void MDIForm1::SetStatusText(const QString& text)
{
    m_statusText->setText(text);
}

QString MDIForm1::StatusText() const
{
    return m_statusText->text();
}

} // namespace orv
