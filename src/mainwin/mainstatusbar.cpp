#include "mainwin/mainstatusbar.h"

#include "app/textids.h"
#include "app/texts.h"
#include "mainwin/eventhook.h"
#include "mainwin/mainflags.h"
#include "mainwin/menuitems.h"
#include "platform/icons.h"
#include "prefs/prefer.h"

#include <QDate>
#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QMainWindow>
#include <QStatusBar>
#include <QTime>

// The status bar with its panels "date", "time", "status" and "email".

namespace orv {

namespace {

QLabel* makePanel(QStatusBar* bar, const QString& key, const QString& tip)
{
    auto* panel = new QLabel(bar);
    panel->setObjectName(key);
    panel->setToolTip(tip);
    panel->setAccessibleName(tip);
    panel->setMargin(1);
    return panel;
}

// Milliseconds until the next full minute, when the clock panels change.
int msToNextMinute()
{
    const QTime now = QTime::currentTime();
    return (60 - now.second()) * 1000 - now.msec() + 50;
}

} // namespace

MainStatusBar::MainStatusBar(QMainWindow& main, MenuItems& items, MainFlags& flags, Prefer& prefer)
    : m_main(main), m_items(items), m_flags(flags), m_prefer(prefer)
{
    QStatusBar* bar = m_main.statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setAccessibleName(QStringLiteral("Statuszeile"));
    m_statusDate = makePanel(bar, QStringLiteral("date"), Txt(501));
    m_statusTime = makePanel(bar, QStringLiteral("time"), Txt(502));
    m_statusText = makePanel(bar, QStringLiteral("status"), Txt(500));
    // A long text never widens the window.
    m_statusText->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_statusText->setMinimumWidth(100);
    m_statusText->setTextFormat(Qt::PlainText);
    // The picture "look" in front of the status text while mail is searched.
    m_statusLook = new QLabel(bar);
    m_statusLook->setObjectName(QStringLiteral("look"));
    m_statusLook->setAccessibleName(Txt(kTextSearchingMail));
    m_statusLook->setPixmap(
        StatusImage(StatusImageKind::Look).pixmap(kStatusPictureSize, kStatusPictureSize));
    m_statusLook->setVisible(false);
    m_statusMail = makePanel(bar, QStringLiteral("email"), Txt(kTextYouHaveMail));
    m_statusMail->setPixmap(
        StatusImage(StatusImageKind::Mail).pixmap(kStatusPictureSize, kStatusPictureSize));
    m_statusMail->setVisible(false);
    bar->addWidget(m_statusDate);
    bar->addWidget(m_statusTime);
    bar->addWidget(m_statusLook);
    bar->addWidget(m_statusText, 1);
    bar->addWidget(m_statusMail);

    for (QLabel* panel : {m_statusDate, m_statusTime, m_statusText, m_statusMail}) {
        const QString key = panel->objectName();
        new EventHook(panel, [this, key](QEvent* event) {
            if (event->type() != QEvent::MouseButtonDblClick)
                return false;
            Q_EMIT panelDoubleClicked(key);
            return true;
        });
    }

    // Date and time keep themselves current: once now, then at every full
    // minute.
    auto tick = [this] {
        const QDateTime now = QDateTime::currentDateTime();
        m_statusDate->setText(QLocale(QLocale::German).toString(now.date(), QLocale::ShortFormat));
        m_statusTime->setText(now.time().toString(QStringLiteral("HH:mm")));
        m_clock.start(msToNextMinute());
    };
    m_clock.setSingleShot(true);
    connect(&m_clock, &QTimer::timeout, this, tick);
    tick();
}

QLabel* MainStatusBar::StatusPanel(const QString& key) const
{
    if (key == QLatin1String("date"))
        return m_statusDate;
    if (key == QLatin1String("time"))
        return m_statusTime;
    if (key == QLatin1String("status"))
        return m_statusText;
    if (key == QLatin1String("email"))
        return m_statusMail;
    return nullptr;
}

void MainStatusBar::SetStatusPicture(bool look)
{
    m_statusLook->setVisible(look);
}

bool MainStatusBar::StatusPictureShown() const
{
    return !m_statusLook->isHidden();
}

void MainStatusBar::SetStatusText(const QString& text)
{
    SetStatusExplained(text, Txt(500));
}

void MainStatusBar::SetStatusExplained(const QString& text, const QString& toolTip)
{
    m_statusText->setText(text);
    m_statusText->setToolTip(toolTip);
}

QString MainStatusBar::StatusText() const
{
    return m_statusText->text();
}

void MainStatusBar::ShowMailIndicator(bool visible)
{
    m_statusMail->setVisible(visible);
}

bool MainStatusBar::MailIndicatorVisible() const
{
    return !m_statusMail->isHidden();
}

void MainStatusBar::SetVisible(bool visible)
{
    m_main.statusBar()->setVisible(visible);
    m_items.SetItemChecked(QStringLiteral("mn_Toggle"), visible);
}

bool MainStatusBar::IsHidden() const
{
    return m_main.statusBar()->isHidden();
}

void MainStatusBar::ApplyStatusSettings()
{
    m_statusText->setToolTip(Txt(500));
    m_statusDate->setToolTip(Txt(501));
    m_statusTime->setToolTip(Txt(502));
    SetVisible(m_prefer.StatusBar() > 0);
}

void MainStatusBar::ActivateStatus()
{
    SetVisible(m_flags.StatusBarCurr);
}

} // namespace orv
