#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QLabel;

namespace orv {

// The four information lines: the program's revision, the web engine's
// version (on the line the system's browser control once had), the system
// and the user.
QString AboutInformation(const QString& revision, const QString& engineVersion,
                         const QString& osName, const QString& user);

// The small information window of the help menu: program title and icon,
// the information lines, the product page as a link. It closes as soon as it
// loses the focus, and on Esc.
class frmAbout : public QWidget {
    Q_OBJECT
public:
    // `visit` opens an address in a new browser window with both bars.
    frmAbout(QWidget* parent, std::function<void(const QString&)> visit);

    QLabel* A0 = nullptr; // title
    QLabel* F0 = nullptr; // information lines
    QLabel* D0 = nullptr; // product page
    // Opens the product page (as a click on it does).
    void D0_Click();

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<void(const QString&)> m_visit;
};

} // namespace orv
