#include "tools/window/rssheader.h"

#include "app/dialogseam.h"
#include "app/texts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace orv {

namespace {

constexpr int kTextTitle = 1069;
constexpr int kTextFile = 1065;
constexpr int kTextOpenAfter = 1066;
constexpr int kTextAsFeed = 1067;
constexpr int kTextAsXml = 1068;
constexpr int kTextOk = 717;
constexpr int kTextCancel = 716;
const QString kProposedLink = QStringLiteral("http://");

QLineEdit* field(QGridLayout* grid, int row, const QString& caption, const char* name,
                 QWidget* parent, const QString& preset = {})
{
    auto* edit = new QLineEdit(preset, parent);
    edit->setObjectName(QString::fromUtf8(name));
    edit->setAccessibleName(caption);
    auto* label = new QLabel(caption.toHtmlEscaped(), parent);
    label->setTextFormat(Qt::RichText);
    label->setBuddy(edit);
    grid->addWidget(label, row, 0);
    grid->addWidget(edit, row, 1);
    return edit;
}

} // namespace

frmRSSHeader::frmRSSHeader(QWidget* parent, const QString& rssTitle, const QString& rssFilename)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRSSHeader"));
    setWindowTitle(Txt(kTextTitle));
    setAccessibleName(windowTitle());
    auto* grid = new QGridLayout(this);
    titleEdit = field(grid, 0, QStringLiteral("<title>"), "Text1", this, rssTitle);
    descriptionEdit = field(grid, 1, QStringLiteral("<description>"), "Text2", this);
    linkEdit = field(grid, 2, QStringLiteral("<link>"), "Text3", this, kProposedLink);
    imageBox = new QCheckBox(QStringLiteral("<image>"), this);
    imageBox->setObjectName(QStringLiteral("Check2"));
    imageBox->setAccessibleName(imageBox->text());
    grid->addWidget(imageBox, 3, 0, 1, 2);
    imageUrlEdit = field(grid, 4, QStringLiteral("<url>"), "Text4", this, kProposedLink);
    imageTitleEdit = field(grid, 5, QStringLiteral("<title>"), "Text5", this);
    imageLinkEdit = field(grid, 6, QStringLiteral("<link>"), "Text6", this, kProposedLink);
    fileEdit = field(grid, 7, Txt(kTextFile), "Text7", this, rssFilename);
    openAfterBox = new QCheckBox(Txt(kTextOpenAfter), this);
    openAfterBox->setObjectName(QStringLiteral("Check1"));
    openAfterBox->setAccessibleName(openAfterBox->text());
    openAfterBox->setChecked(true);
    grid->addWidget(openAfterBox, 8, 0, 1, 2);
    asFeedOption = new QRadioButton(Txt(kTextAsFeed), this);
    asFeedOption->setObjectName(QStringLiteral("Option1"));
    asFeedOption->setAccessibleName(asFeedOption->text());
    asXmlOption = new QRadioButton(Txt(kTextAsXml), this);
    asXmlOption->setObjectName(QStringLiteral("Option2"));
    asXmlOption->setAccessibleName(asXmlOption->text());
    asXmlOption->setChecked(true);
    grid->addWidget(asFeedOption, 9, 1);
    grid->addWidget(asXmlOption, 10, 1);
    Ok = new QPushButton(Txt(kTextOk), this);
    Ok->setObjectName(QStringLiteral("Ok"));
    Ok->setAccessibleName(Ok->text());
    Ok->setDefault(true);
    Cancel = new QPushButton(Txt(kTextCancel), this);
    Cancel->setObjectName(QStringLiteral("Cancel"));
    Cancel->setAccessibleName(Cancel->text());
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Ok);
    buttons->addWidget(Cancel);
    grid->addLayout(buttons, 11, 0, 1, 2);

    auto imageBlock = [this](bool on) {
        for (QLineEdit* edit : {imageUrlEdit, imageTitleEdit, imageLinkEdit})
            edit->setEnabled(on);
    };
    auto openOptions = [this](bool on) {
        asFeedOption->setEnabled(on);
        asXmlOption->setEnabled(on);
    };
    imageBlock(false);
    connect(imageBox, &QCheckBox::toggled, this, imageBlock);
    connect(openAfterBox, &QCheckBox::toggled, this, openOptions);
    connect(Ok, &QPushButton::clicked, this, &frmRSSHeader::Ok_Click);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmRSSHeader::Ok_Click()
{
    RssChannel channel{titleEdit->text(),    linkEdit->text(),       descriptionEdit->text(),
                       imageUrlEdit->text(), imageTitleEdit->text(), imageLinkEdit->text()};
    const RssCheck check = CheckRssChannel(channel, imageBox->isChecked());
    if (!check.ok()) {
        QLineEdit* failing = nullptr;
        switch (check.field) {
        case RssField::Title:
            failing = titleEdit;
            break;
        case RssField::Link:
            failing = linkEdit;
            break;
        case RssField::ImageUrl:
            failing = imageUrlEdit;
            break;
        case RssField::ImageTitle:
            failing = imageTitleEdit;
            break;
        case RssField::ImageLink:
        case RssField::None:
            failing = imageLinkEdit;
            break;
        }
        failing->setFocus();
        ShowMessage(QStringLiteral("Meldung"), check.message, MsgIcon::Critical);
        return;
    }
    done(1);
}

RssChannel frmRSSHeader::Channel() const
{
    const bool image = imageBox->isChecked();
    return RssChannel{titleEdit->text(),
                      linkEdit->text(),
                      descriptionEdit->text(),
                      image ? imageUrlEdit->text() : QString(),
                      image ? imageTitleEdit->text() : QString(),
                      image ? imageLinkEdit->text() : QString()};
}

QString frmRSSHeader::FileName() const
{
    return fileEdit->text();
}

int frmRSSHeader::OpenMode() const
{
    if (!openAfterBox->isChecked())
        return 0;
    return asFeedOption->isChecked() ? 1 : 2;
}

} // namespace orv
