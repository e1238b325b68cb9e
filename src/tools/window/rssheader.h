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

    QLineEdit* Text1 = nullptr;      // <title>
    QLineEdit* Text2 = nullptr;      // <description>
    QLineEdit* Text3 = nullptr;      // <link>
    QCheckBox* Check2 = nullptr;     // <image>
    QLineEdit* Text4 = nullptr;      // image <url>
    QLineEdit* Text5 = nullptr;      // image <title>
    QLineEdit* Text6 = nullptr;      // image <link>
    QLineEdit* Text7 = nullptr;      // file
    QCheckBox* Check1 = nullptr;     // open after creation
    QRadioButton* Option1 = nullptr; // as a feed
    QRadioButton* Option2 = nullptr; // as an XML page
    QPushButton* Ok = nullptr;
    QPushButton* Cancel = nullptr;
};

} // namespace orv
