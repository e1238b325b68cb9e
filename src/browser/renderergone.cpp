#include "browser/renderergone.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orv {
namespace {

constexpr int kPanelMargin = 24;

} // namespace

RendererGonePanel::RendererGonePanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("rendererGone"));
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kPanelMargin, kPanelMargin, kPanelMargin, kPanelMargin);
    auto* heading = new QLabel(QStringLiteral("<h2>Diese Seite kann nicht mehr angezeigt "
                                              "werden</h2>"),
                               this);
    m_reason = new QLabel(this);
    m_reason->setWordWrap(true);
    m_address = new QLabel(this);
    m_address->setTextFormat(Qt::PlainText);
    m_address->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_address->setWordWrap(true);
    auto* reload = new QPushButton(QStringLiteral("Seite neu &laden"), this);
    reload->setObjectName(QStringLiteral("rendererGoneReload"));
    connect(reload, &QPushButton::clicked, this, &RendererGonePanel::reloadRequested);
    layout->addWidget(heading);
    layout->addWidget(m_reason);
    layout->addWidget(m_address);
    layout->addWidget(reload, 0, Qt::AlignLeft);
    layout->addStretch(1);
}

QString RendererGonePanel::Reason(QWebEnginePage::RenderProcessTerminationStatus status)
{
    switch (status) {
    case QWebEnginePage::CrashedTerminationStatus:
        return QStringLiteral("Der Prozess, der diese Seite dargestellt hat, ist abgestürzt.");
    case QWebEnginePage::KilledTerminationStatus:
        return QStringLiteral("Der Prozess, der diese Seite dargestellt hat, wurde beendet, "
                              "zum Beispiel vom System bei Speichermangel.");
    default:
        return QStringLiteral("Der Prozess, der diese Seite dargestellt hat, wurde unerwartet "
                              "beendet.");
    }
}

void RendererGonePanel::Tell(QWebEnginePage::RenderProcessTerminationStatus status,
                             const QString& address)
{
    m_reason->setText(Reason(status) +
                      QStringLiteral(" Die anderen Fenster sind davon nicht betroffen."));
    m_address->setText(QStringLiteral("Adresse: ") + address);
}

} // namespace orv
