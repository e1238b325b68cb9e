#pragma once

#include <QHash>
#include <QWidget>

class QHBoxLayout;
class QVBoxLayout;

namespace orv {

// The band bar of a browser window: the bands "Toolbar" and "Anim" side by
// side in the first row, the band "Adress" in the second; without the
// toolbar the activity image moves to the end of the address row, so that
// it never fills a row of its own. Each band is a
// widget that can be shown or hidden on its own; the bar itself is hidden by
// its owner when no band is left.
class BandBar : public QWidget {
    Q_OBJECT
public:
    explicit BandBar(QWidget* parent = nullptr);

    // Adds a band under its key ("Adress", "Toolbar", "Anim").
    void addBand(const QString& key, QWidget* band);
    QWidget* band(const QString& key) const { return m_bands.value(key); }

    bool bandVisible(const QString& key) const;
    void setBandVisible(const QString& key, bool visible);

    // Shows the bands "Adress" and "Toolbar" as given; the band "Anim" and
    // the bar itself are shown exactly when one of the two is.
    void setBars(bool adress, bool toolbar);

    // Height of the bar as laid out with its visible bands (0 when none).
    int barHeight() const;

Q_SIGNALS:
    void bandsChanged();

private:
    void placeAnim();

    QVBoxLayout* m_rows;
    QHBoxLayout* m_firstRow;
    QHBoxLayout* m_secondRow;
    QHash<QString, QWidget*> m_bands;
    QHash<QString, bool> m_visible;
};

} // namespace orv
