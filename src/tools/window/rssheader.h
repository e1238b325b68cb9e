#pragma once

#include "bookmarks/export.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace orv {

// The channel dialog of an RSS export: channel title, link and
// description, an optional image block, the target file and whether to
// open the result as a feed or as an XML page. OK checks the fields in
// order and closes with 1; the caller reads the results back.
class frmRSSHeader : public QDialog {
    Q_OBJECT
public:
    frmRSSHeader(QWidget* parent, const QString& rssTitle, const QString& rssFilename);

    // Checks the fields; the first failing one gets the focus and its
    // message. Closes with 1 when all pass.
    void Ok_Click();

    // The channel tags (image fields empty without the image block).
    RssChannel Channel() const;
    QString FileName() const;
    // 0 do not open, 1 open as a feed, 2 open as an XML page.
    int OpenMode() const;

    QLineEdit* titleEdit = nullptr;       // Text1: <title>
    QLineEdit* descriptionEdit = nullptr; // Text2: <description>
    QLineEdit* linkEdit = nullptr;        // Text3: <link>
    QCheckBox* imageBox = nullptr;        // Check2: <image>
    QLineEdit* imageUrlEdit = nullptr;    // Text4: image <url>
    QLineEdit* imageTitleEdit = nullptr;  // Text5: image <title>
    QLineEdit* imageLinkEdit = nullptr;   // Text6: image <link>
    QLineEdit* fileEdit = nullptr;        // Text7: file
    QCheckBox* openAfterBox = nullptr;    // Check1: open after creation
    QRadioButton* asFeedOption = nullptr; // Option1: as a feed
    QRadioButton* asXmlOption = nullptr;  // Option2: as an XML page
    QPushButton* Ok = nullptr;
    QPushButton* Cancel = nullptr;
};

} // namespace orv
