#include "browser/linkopening.h"

#include "app/dialogseam.h"
#include "app/docsnapshot.h"
#include "app/texts.h"
#include "browser/bandbar.h"
#include "browser/frmbrowser.h"
#include "browser/refreshdialog.h"
#include "pages/linkcollect.h"
#include "platform/docbridge.h"
#include "platform/generatedpages.h"
#include "platform/icons.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

namespace orv {

namespace {

constexpr int kTextCaption = 1115;   // "Hinweis"
constexpr int kTextLinksOpen = 1116; // "Es werden %n Links geöffnet. ..."
constexpr int kTextOpenNow = 1117;   // "Alle Links jetzt öffnen ?"
constexpr int kTextAlwaysShow = 106; // "Diesen Hinweis immer anzeigen."
constexpr int kTextOk = 717;         // "OK"
constexpr int kTextCancel = 716;     // "Abbruch"
const char kSubmitScript[] = "if (document.forms.length > 0) document.forms[0].submit();";

} // namespace

frmHinweis::frmHinweis(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmHinweis"));
    setWindowIcon(ProgramIcon());
    auto* layout = new QVBoxLayout(this);
    noticeLabel = new QLabel(this);
    noticeLabel->setObjectName(QStringLiteral("Label1"));
    noticeLabel->setWordWrap(true);
    layout->addWidget(noticeLabel);
    alwaysShowBox = new QCheckBox(this);
    alwaysShowBox->setObjectName(QStringLiteral("Check1"));
    layout->addWidget(alwaysShowBox);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    okButton = new QPushButton(this);
    okButton->setObjectName(QStringLiteral("Command1"));
    okButton->setDefault(true);
    cancelButton = new QPushButton(this);
    cancelButton->setObjectName(QStringLiteral("Command2"));
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);
    connect(okButton, &QPushButton::clicked, this, [this] {
        bHinweisCancel = false;
        accept();
    });
    connect(cancelButton, &QPushButton::clicked, this, [this] {
        bHinweisCancel = true;
        reject();
    });
}

void frmHinweis::Form_Load(int count)
{
    nC = count;
    bHinweisCancel = true;
    setWindowTitle(Txt(kTextCaption));
    setAccessibleName(Txt(kTextCaption));
    noticeLabel->setText(NoticeText(count));
    alwaysShowBox->setText(Txt(kTextAlwaysShow));
    alwaysShowBox->setAccessibleName(Txt(kTextAlwaysShow));
    okButton->setText(Txt(kTextOk));
    okButton->setAccessibleName(Txt(kTextOk));
    cancelButton->setText(Txt(kTextCancel));
    cancelButton->setAccessibleName(Txt(kTextCancel));
}

bool ConfirmManyWindows(QWidget* parent, int count, bool& warnUser)
{
    QPointer<frmHinweis> notice = new frmHinweis(parent);
    notice->Form_Load(count);
    notice->alwaysShowBox->setChecked(warnUser);
    const int answer = Dialogs().execDialog(*notice);
    // A notice that went with its window opens nothing.
    if (!notice)
        return false;
    warnUser = notice->alwaysShowBox->isChecked();
    const bool confirmed = answer == QDialog::Accepted;
    notice->deleteLater();
    return confirmed;
}

bool NoticeNeeded(int links, int windows, bool warnUser)
{
    return warnUser && links + windows > kNoticeAbove;
}

QString NoticeText(int count)
{
    QString text = Txt(kTextLinksOpen) + QLatin1Char(' ') + Txt(kTextOpenNow);
    text.replace(QLatin1String("%n"), QString::number(count));
    return text;
}

void OpenAllLinks(frmBrowser& window)
{
    ActivityTimings::SkipNewWindow(true);
    OpenAllAnchors(window);
}

void OpenAllAnchors(frmBrowser& window)
{
    QPointer<frmBrowser> target(&window);
    TakeDocSnapshot(window.page(), &window, [target](const DocSnapshot& document) {
        if (!target || !document.valid || !document.htmlDocument)
            return;
        OpenLinks(*target, CollectLinks(document, target->LocationURL(), RelativeLinks::Joined));
    });
}

void OpenLinks(frmBrowser& window, const QStringList& links)
{
    BrowserHost& host = window.host();
    host.setExitLoop(false);
    if (NoticeNeeded(int(links.size()), host.windowCount(), host.warnUser())) {
        bool warnUser = host.warnUser();
        const bool confirmed = ConfirmManyWindows(window.window(), int(links.size()), warnUser);
        host.setWarnUser(warnUser);
        if (!confirmed)
            return;
    }
    // The window may close while others open: its host stays.
    for (const QString& address : links) {
        if (host.exitLoop())
            break;
        host.openWindow(address);
    }
}

void SubmitSearchIn(frmBrowser& window, const QString& page)
{
    QPointer<frmBrowser> target(&window);
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = QObject::connect(
        window.page(), &QWebEnginePage::loadFinished, &window, [target, once](bool ok) {
            if (!target || !GeneratedPages::IsGeneratedUrl(target->page()->url()))
                return;
            QObject::disconnect(*once);
            if (ok)
                ExecScript(target->page(), QString::fromLatin1(kSubmitScript));
        });
    window.ShowGeneratedPage(page);
    if (window.CoolBar1()->bandVisible(QStringLiteral("Adress")) && !window.CoolBar1()->isHidden())
        window.cboAddress()->setFocus();
}

} // namespace orv
