#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class QLabel;
class QMainWindow;

namespace orv {

class MenuItems;
class Prefer;
struct MainFlags;

// The main window's status bar with its panels "date", "time", "status" and
// "email" (the mail indicator); date and time keep themselves current.
class MainStatusBar : public QObject {
    Q_OBJECT
public:
    MainStatusBar(QMainWindow& main, MenuItems& items, MainFlags& flags, Prefer& prefer);

    // Status panel by key: "date", "time", "status", "email".
    QLabel* StatusPanel(const QString& key) const;
    // The status text, with the panel's usual tool tip.
    void SetStatusText(const QString& text);
    // A status text whose reason the panel's tool tip tells.
    void SetStatusExplained(const QString& text, const QString& toolTip);
    QString StatusText() const;
    // The picture "look" of the status panel, while a mail server is searched.
    void SetStatusPicture(bool look);
    bool StatusPictureShown() const;
    // The mail indicator (panel "email").
    void ShowMailIndicator(bool visible);
    bool MailIndicatorVisible() const;
    // Shows or hides the bar and marks "mn_Toggle".
    void SetVisible(bool visible);
    bool IsHidden() const;
    // The status parts of the start-up settings and of the activation.
    void ApplyStatusSettings();
    void ActivateStatus();

Q_SIGNALS:
    // A double click on the panel with this key.
    void panelDoubleClicked(const QString& key);

private:
    QMainWindow& m_main;
    MenuItems& m_items;
    MainFlags& m_flags;
    Prefer& m_prefer;
    QLabel* m_statusDate = nullptr;
    QLabel* m_statusTime = nullptr;
    QLabel* m_statusText = nullptr;
    QLabel* m_statusLook = nullptr;
    QLabel* m_statusMail = nullptr;
    QTimer m_clock;
};

} // namespace orv
