#include "about/frmabout.h"

#include "app/appinit.h"
#include "app/probes.h"
#include "app/textids.h"
#include "app/texts.h"
#include "platform/icons.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>
#include <QtWebEngineCore/qtwebenginecoreglobal.h>

namespace orv {

namespace {

constexpr int kHeightTwips = 3620;
constexpr int kWidthPx = 380;

QString Revision()
{
    return QStringLiteral("%1.%2.%3")
        .arg(ORVANE_VERSION_MAJOR)
        .arg(ORVANE_VERSION_MINOR)
        .arg(ORVANE_VERSION_PATCH);
}

} // namespace

QString AboutInformation(const QString& revision, const QString& engineVersion,
                         const QString& osName, const QString& user)
{
    return QStringLiteral("Revision: ") + revision + QStringLiteral("\r\nIE Version: ") +
           engineVersion + QStringLiteral("\r\nSystem: ") + osName + QStringLiteral("\r\nUser: ") +
           user;
}

frmAbout::frmAbout(QWidget* parent, std::function<void(const QString&)> visit)
    : QWidget(parent, Qt::Tool), m_visit(std::move(visit))
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString(Txt(418)).remove(u'&') + AppTitle());
    setAccessibleName(windowTitle());
    setWindowIcon(ProgramIcon());
    auto* layout = new QHBoxLayout(this);
    auto* bmp = new QLabel(this);
    bmp->setObjectName(QStringLiteral("bmp"));
    bmp->setPixmap(ProgramIcon().pixmap(48, 48));
    bmp->setAccessibleName(AppTitle());
    bmp->setAlignment(Qt::AlignTop);
    layout->addWidget(bmp);
    auto* frame = new QVBoxLayout;
    A0 = new QLabel(AppTitle(), this);
    A0->setObjectName(QStringLiteral("A0"));
    QFont bold = A0->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    A0->setFont(bold);
    F0 = new QLabel(AboutInformation(Revision(), QString::fromLatin1(qWebEngineChromiumVersion()),
                                     Probes().OsName, GetLoginName()),
                    this);
    F0->setObjectName(QStringLiteral("F0"));
    F0->setTextInteractionFlags(Qt::TextSelectableByMouse);
    D0 = new QLabel(this);
    D0->setObjectName(QStringLiteral("D0"));
    const QString page = Txt(kTextProgramFolderUrl);
    D0->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(page.toHtmlEscaped()));
    D0->setAccessibleName(page);
    D0->setToolTip(page);
    D0->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(D0, &QLabel::linkActivated, this, [this] { D0_Click(); });
    for (QLabel* label : {A0, F0})
        label->setAccessibleName(label->text());
    frame->addWidget(A0);
    frame->addWidget(F0);
    frame->addWidget(D0);
    frame->addStretch(1);
    layout->addLayout(frame, 1);
    resize(kWidthPx, kHeightTwips / 15);
}

void frmAbout::D0_Click()
{
    if (m_visit)
        m_visit(Txt(kTextProgramFolderUrl));
}

void frmAbout::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Gone as soon as another window is active.
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow())
        close();
}

void frmAbout::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace orv
