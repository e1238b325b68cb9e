#pragma once

#include <QDialog>
#include <QHash>
#include <QString>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;

namespace orv {

class Prefer;
class Pop3Client;
struct Pop3Result;

// The settings dialog: every user setting on four pages ("Allgemein",
// "Fenster", "Programmstart", "E-Mail Checking"). The controls show the
// preferences when the dialog is made; OK ("Save") checks the mail accounts,
// writes the preferences back and saves the preference file; "Abbruch" and
// Esc leave everything as it was. Enter acts as OK.
class frmEinstell : public QDialog {
    Q_OBJECT
public:
    static constexpr int AccountCount = 4;

    // `bookFolder` holds the bookmark archive whose folders the start-up
    // folder box lists.
    frmEinstell(Prefer& prefer, const QString& bookFolder, QWidget* parent);

    // True when some checked mail account has an empty server, user or
    // password box; then the message is shown and that box has the focus.
    bool ValidateForm();
    // The defaults into the controls; nothing is saved.
    void Standard_Click();
    // Checks, stores and saves; closes the dialog as accepted.
    void Save_Click();
    // Fills the start-up folder box from a freshly loaded archive.
    void FillCombo();
    // Each account's boxes are enabled exactly when its check box is checked.
    void CheckActivate();
    // Connects to the account's server as far as TLS and tells about its
    // certificate; one that is refused can be trusted for this server (the
    // trusted certificates are saved at once, apart from the preferences).
    void CheckCertificate(int index);

    // The controls, named for what they hold; each one's object name is the
    // dialog's historic control name (given after it), which tests and
    // assistive software find it by.
    QTabWidget* pages = nullptr; // TabStrip2: "Allgemein", "Fenster", "Programmstart", "POP3"
    // Allgemein
    QLineEdit* startAddress = nullptr;          // Text1
    QLineEdit* searchEngine = nullptr;          // Text2
    QLineEdit* mailApplication = nullptr;       // Text3
    QLineEdit* searchFormFile = nullptr;        // Text4
    QPushButton* pickSearchFormFile = nullptr;  // Command1
    QPushButton* pickMailApplication = nullptr; // Command2
    QComboBox* historyRows = nullptr;           // Combo1
    QCheckBox* showStatusBar = nullptr;         // Check1
    QCheckBox* showRegisterRow = nullptr;       // Check5
    QRadioButton* tabsAsTabs = nullptr;         // Option1
    QRadioButton* tabsAsButtons = nullptr;      // Option2
    QRadioButton* tabsAtTop = nullptr;          // Option4
    QRadioButton* tabsAtBottom = nullptr;       // Option5
    QCheckBox* boldTabFont = nullptr;           // Check7
    // Fenster
    QCheckBox* showAddressBar = nullptr;        // Check3
    QCheckBox* showToolbar = nullptr;           // Check4
    QCheckBox* allowPagesOpenWindows = nullptr; // Check8
    QCheckBox* allowWindowsBehind = nullptr;    // Check9
    QCheckBox* allowPagesResize = nullptr;      // Check10
    QCheckBox* allowWindowReference = nullptr;  // Check11
    QCheckBox* popupBlocker = nullptr;          // Check12
    // Programmstart
    QCheckBox* startOpenBrowser = nullptr;   // Check2
    QCheckBox* startOpenFolder = nullptr;    // Check6
    QComboBox* startFolder = nullptr;        // ImageCombo1
    QRadioButton* startOpenLayout = nullptr; // Option3
    QLineEdit* startLayoutFile = nullptr;    // Text16
    QPushButton* pickLayoutFile = nullptr;   // LayoutSearch_Btn
    // POP3 (index 0 is account 1)
    std::array<QLineEdit*, AccountCount> mailServer{};         // TextSrv(i)
    std::array<QLineEdit*, AccountCount> mailUser{};           // TextUsr(i)
    std::array<QLineEdit*, AccountCount> mailPassword{};       // TextPwd(i)
    std::array<QCheckBox*, AccountCount> mailAccountEnabled{}; // CheckM(i)
    std::array<QPushButton*, AccountCount> mailCertificate{};  // CertM(i)
    QComboBox* checkInterval = nullptr;                        // Combo2, minutes
    // Buttons
    QPushButton* saveButton = nullptr;     // Save
    QPushButton* cancelButton = nullptr;   // Quit
    QPushButton* defaultsButton = nullptr; // Standard

private:
    QWidget* buildGeneralPage();
    QWidget* buildWindowPage();
    QWidget* buildStartPage();
    QWidget* buildMailPage();
    void fillFromPreferences();
    void LoadColGrpFileName();
    void Check2_Click();
    void Check6_Click();
    void Option3_Click();
    void Check8_Click();
    void CheckM_Click(int index);
    void ImageCombo1_Change();
    // A file picker; a chosen (trimmed, non-empty) name goes into `target`.
    void pickFile(int titleText, const QString& filter, QLineEdit* target);
    void storeStartOptions();
    void certificateChecked(const Pop3Result& result);

    Prefer& m_prefer;
    QString m_bookFolder;
    // Folder key "[Nr]" -> the folder's file name.
    QHash<QString, QString> m_colGrpFileName;
    QString m_groupFile;
    bool m_comboFilled = false;
    Pop3Client* m_probe = nullptr; // made on first use
    QString m_probedServer;
};

} // namespace orv
