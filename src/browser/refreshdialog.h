#pragma once

#include "pages/feedpage.h"

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;

namespace orv {

// The reload-interval dialog of a browser window: "Aktivieren", "nach"
// 1..65 "Sekunden". It has no buttons: Esc or the close button end it, and
// whatever it shows then applies (it always answers 1). The lower row with
// the list shows only while the check box is ticked, and the dialog grows
// for it.
class frmRefresh : public QDialog {
    Q_OBJECT
public:
    // Heights in twips (15 per pixel): with the check box clear and ticked.
    static constexpr int kHeightClearTwips = 900;
    static constexpr int kHeightTickedTwips = 1500;
    static constexpr int kTwipsPerPixel = 15;
    static constexpr int kMaxSeconds = 65;
    // The value offered while automatic reload is off.
    static constexpr int kDefaultSeconds = 3;

    explicit frmRefresh(QWidget* parent);

    // Fills the dialog for a window whose interval is `seconds` (0: off).
    void Form_Load(int seconds);
    // The interval the dialog shows: the list's value while ticked, else 0.
    int ChosenSeconds() const;

    // Object names: Check1, Label2, Combo2, Label1.
    QCheckBox* reloadEnabled = nullptr;
    QLabel* afterLabel = nullptr;
    QComboBox* secondsChoice = nullptr;
    QLabel* secondsLabel = nullptr;

    // Where the dialog opens: the window's place inside the main window's
    // area, moved by the main window's place and by the room its frame,
    // menu and bars take (outer size minus the area's size).
    static QPoint Position(QPoint windowPos, QRect mainFrame, QSize mainArea);

public Q_SLOTS:
    // Every way of closing keeps what the dialog shows.
    void reject() override;

private:
    void Check1_Click();
    QWidget* m_lowerRow = nullptr;
};

} // namespace orv

namespace orv {

// The timings of a window's unattended activities, and the switch that
// refuses the next new window. Tests shorten the timings and set the switch.
struct ActivityTimings {
    // One second of the reload interval.
    int secondMs = 1000;
    // The round trip's first step after its start, and its pace after that.
    int firstStepMs = 10;
    int stepMs = 1900;
    // A page that does not settle within this time is given up.
    int giveUpMs = 30000;
    // A feed load ends when nothing arrives for feedSilenceMs, and in any
    // case after feedLoadMs.
    int feedSilenceMs = kFeedTimeoutMs;
    int feedLoadMs = kFeedLoadLimitMs;
    // Set by toolbar commands: the next new-window request of any browser
    // window is refused (then the switch is cleared).
    bool skipNewWindow = false;

    static const ActivityTimings& Current();
    static void Set(const ActivityTimings& timings);
    static void SkipNewWindow(bool skip);
};

// A failed reload tick: errors 430 and 438 (the page offers no document to
// reload) end automatic reload silently; any other is shown, as
// description + " [" + number + "]".
inline constexpr int kErrNoAutomation = 430;
inline constexpr int kErrNoSuchMethod = 438;
bool ReloadErrorShown(int number);
QString ReloadErrorText(const QString& description, int number);
// Title of that message.
inline constexpr char kReloadErrorTitle[] = "timRefresh_Timer()";

} // namespace orv
