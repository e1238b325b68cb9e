#pragma once

#include "bookmarks/bookmark.h"

#include <QDialog>
#include <QSet>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace orv {

// The bookmark dialog: proposes a new bookmark (add) or edits one (edit),
// alone or in a batch over all browser windows. OK checks the fields and
// closes with 1; the caller reads the fields back.
class frmBMProperty : public QDialog {
    Q_OBJECT
public:
    explicit frmBMProperty(QWidget* parent);

    // Fills the dialog: add mode takes the proposal `bkTitel`/`bkUrl`, edit
    // mode the bookmark.
    void setup(bool bNewBkm, bool batch, const QString& bkTitel, const QString& bkUrl,
               const Bookmark* edited);
    // The addresses the folder's bookmarks have (a new one with one of
    // them is added only when the user confirms).
    void setTakenAddresses(QSet<QString> addresses) { m_takenAddresses = std::move(addresses); }

    // OK: checks the fields (messages through the dialog seam) and closes
    // with 1 when they pass.
    void Ok_Click();
    // Batch-Abbruch: ends the batch and closes.
    void Command1_Click();
    bool batchCancelled() const { return m_batchCancelled; }

    // The results: the title (feed marker in front when the feed box is
    // checked), address, description and the two opening options.
    QString Title() const;
    QString Address() const;
    QString Description() const;
    bool ShowAddressBar() const;
    bool ShowToolbar() const;

    QLineEdit* nameEdit = nullptr;             // Text1: name
    QLineEdit* addressEdit = nullptr;          // Text2: address
    QPlainTextEdit* descriptionEdit = nullptr; // Text3: description
    QCheckBox* addressBarBox = nullptr;        // Check1: address bar
    QCheckBox* toolbarBox = nullptr;           // Check2: toolbar
    QCheckBox* feedBox = nullptr;              // Check3: is a feed
    QPushButton* Ok = nullptr;
    QPushButton* Cancel = nullptr;
    QPushButton* batchCancelButton = nullptr; // Command1: Batch-Abbruch

private:
    void Check3_Click();

    bool m_new = true;
    QSet<QString> m_takenAddresses;
    bool m_batchCancelled = false;
};

} // namespace orv
