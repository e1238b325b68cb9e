#include "browser/bandbar.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace orv {

BandBar::BandBar(QWidget* parent) : QWidget(parent)
{
    setAccessibleName(QStringLiteral("Bandleiste"));
    m_rows = new QVBoxLayout(this);
    m_rows->setContentsMargins(2, 1, 2, 1);
    m_rows->setSpacing(1);
    m_firstRow = new QHBoxLayout;
    m_firstRow->setContentsMargins(0, 0, 0, 0);
    m_firstRow->setSpacing(2);
    m_rows->addLayout(m_firstRow);
    m_secondRow = new QHBoxLayout;
    m_secondRow->setContentsMargins(0, 0, 0, 0);
    m_secondRow->setSpacing(2);
    m_rows->addLayout(m_secondRow);
}

void BandBar::addBand(const QString& key, QWidget* band)
{
    band->setParent(this);
    m_bands.insert(key, band);
    m_visible.insert(key, true);
    if (key == QLatin1String("Adress")) {
        m_secondRow->insertWidget(0, band, 1);
    } else if (key == QLatin1String("Anim")) {
        m_firstRow->addStretch(1);
        placeAnim();
    } else {
        m_firstRow->insertWidget(0, band, 0, Qt::AlignLeft);
    }
}

void BandBar::placeAnim()
{
    QWidget* anim = m_bands.value(QStringLiteral("Anim"));
    if (!anim)
        return;
    QHBoxLayout* row =
        bandVisible(QStringLiteral("Toolbar")) || !bandVisible(QStringLiteral("Adress"))
            ? m_firstRow
            : m_secondRow;
    if (row->indexOf(anim) >= 0)
        return;
    m_firstRow->removeWidget(anim);
    m_secondRow->removeWidget(anim);
    row->addWidget(anim, 0, Qt::AlignRight | Qt::AlignVCenter);
}

bool BandBar::bandVisible(const QString& key) const
{
    return m_visible.value(key, false);
}

void BandBar::setBandVisible(const QString& key, bool visible)
{
    QWidget* b = m_bands.value(key);
    if (!b)
        return;
    m_visible[key] = visible;
    b->setVisible(visible);
    placeAnim();
    // The rows keep their sizes until told: the bar's height follows now.
    m_firstRow->invalidate();
    m_secondRow->invalidate();
    m_rows->invalidate();
    Q_EMIT bandsChanged();
}

void BandBar::setBars(bool adress, bool toolbar)
{
    setBandVisible(QStringLiteral("Adress"), adress);
    setBandVisible(QStringLiteral("Toolbar"), toolbar);
    setBandVisible(QStringLiteral("Anim"), adress || toolbar);
    setVisible(adress || toolbar);
}

int BandBar::barHeight() const
{
    return isHidden() ? 0 : sizeHint().height();
}

} // namespace orv
