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

    // The tab strip; its pages are the frames "Allgemein", "Fenster",
    // "Programmstart" and "POP3" (their object names are the tab keys).
    QTabWidget* TabStrip2 = nullptr;
    // Allgemein
    QLineEdit* Text1 = nullptr;      // start address
    QLineEdit* Text2 = nullptr;      // search engine
    QLineEdit* Text3 = nullptr;      // mail application
    QLineEdit* Text4 = nullptr;      // search form file
    QPushButton* Command1 = nullptr; // picks the search form file
    QPushButton* Command2 = nullptr; // picks the mail application
    QComboBox* Combo1 = nullptr;     // history rows
    QCheckBox* Check1 = nullptr;     // status bar
    QCheckBox* Check5 = nullptr;     // register row
    QRadioButton* Option1 = nullptr; // tabs
    QRadioButton* Option2 = nullptr; // buttons
    QRadioButton* Option4 = nullptr; // top
    QRadioButton* Option5 = nullptr; // bottom
    QCheckBox* Check7 = nullptr;     // bold tab font
    // Fenster
    QCheckBox* Check3 = nullptr;
    QCheckBox* Check4 = nullptr;
    QCheckBox* Check8 = nullptr;
    QCheckBox* Check9 = nullptr;
    QCheckBox* Check10 = nullptr;
    QCheckBox* Check11 = nullptr;
    QCheckBox* Check12 = nullptr;
    // Programmstart
    QCheckBox* Check2 = nullptr;      // open a browser window
    QCheckBox* Check6 = nullptr;      // open a bookmark folder
    QComboBox* ImageCombo1 = nullptr; // the folder
    QRadioButton* Option3 = nullptr;  // open a window layout file
    QLineEdit* Text16 = nullptr;      // the layout file
    QPushButton* LayoutSearch_Btn = nullptr;
    // POP3 (index 0 is account 1)
    std::array<QLineEdit*, AccountCount> TextSrv{};
    std::array<QLineEdit*, AccountCount> TextUsr{};
    std::array<QLineEdit*, AccountCount> TextPwd{};
    std::array<QCheckBox*, AccountCount> CheckM{};
    QComboBox* Combo2 = nullptr; // check interval in minutes
    // Buttons
    QPushButton* Save = nullptr;
    QPushButton* Quit = nullptr;
    QPushButton* Standard = nullptr;

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

    Prefer& m_prefer;
    QString m_bookFolder;
    // Folder key "[Nr]" -> the folder's file name.
    QHash<QString, QString> m_colGrpFileName;
    QString m_groupFile;
    bool m_comboFilled = false;
};

} // namespace orv
