#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QCheckBox;
class QLabel;
class QPushButton;

namespace orv {

class frmBrowser;

// The notice before many windows open at once: "Es werden %n Links
// geöffnet. ..." with "Diesen Hinweis immer anzeigen." and OK / Abbruch.
// It answers 1 for OK and 0 for Abbruch or Esc; the check box is read in
// both cases.
class frmHinweis : public QDialog {
    Q_OBJECT
public:
    explicit frmHinweis(QWidget* parent);

    // Fills the notice for `count` links.
    void Form_Load(int count);
    // The user cancelled (set until OK is chosen).
    bool bHinweisCancel = true;
    int nC = 0;

    QLabel* noticeLabel = nullptr;       // Label1
    QCheckBox* alwaysShowBox = nullptr;  // Check1
    QPushButton* okButton = nullptr;     // Command1: OK
    QPushButton* cancelButton = nullptr; // Command2: Abbruch
};

// The notice shows when the links and the open windows together are more
// than this, and the user has not switched it off.
inline constexpr int kNoticeAbove = 15;
bool NoticeNeeded(int links, int windows, bool warnUser);
// Shows the notice for `count` windows over `parent`: true when the user
// chose OK; `warnUser` takes the state of "Diesen Hinweis immer anzeigen.".
bool ConfirmManyWindows(QWidget* parent, int count, bool& warnUser);
// The notice's text for `count` links.
QString NoticeText(int count);

// Opens every link of the window's page in a new window (the toolbar's
// "OpenallA"): the window's own new-window requests are refused meanwhile.
void OpenAllLinks(frmBrowser& window);
// The same without the refusal (the main menu's command): reads the page,
// then OpenLinks with its links joined to the page's address.
void OpenAllAnchors(frmBrowser& window);
// Opens `links` in new windows, one each, after the notice when it is
// needed, until the window limit stops the loop.
void OpenLinks(frmBrowser& window, const QStringList& links);

// Shows a page of one search form in `window` and submits its first form
// once the page is complete; the address box gets the focus when it shows.
void SubmitSearchIn(frmBrowser& window, const QString& page);

} // namespace orv
