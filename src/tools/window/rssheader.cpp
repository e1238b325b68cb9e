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
    Text1 = field(grid, 0, QStringLiteral("<title>"), "Text1", this, rssTitle);
    Text2 = field(grid, 1, QStringLiteral("<description>"), "Text2", this);
    Text3 = field(grid, 2, QStringLiteral("<link>"), "Text3", this, kProposedLink);
    Check2 = new QCheckBox(QStringLiteral("<image>"), this);
    Check2->setObjectName(QStringLiteral("Check2"));
    Check2->setAccessibleName(Check2->text());
    grid->addWidget(Check2, 3, 0, 1, 2);
    Text4 = field(grid, 4, QStringLiteral("<url>"), "Text4", this, kProposedLink);
    Text5 = field(grid, 5, QStringLiteral("<title>"), "Text5", this);
    Text6 = field(grid, 6, QStringLiteral("<link>"), "Text6", this, kProposedLink);
    Text7 = field(grid, 7, Txt(kTextFile), "Text7", this, rssFilename);
    Check1 = new QCheckBox(Txt(kTextOpenAfter), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setAccessibleName(Check1->text());
    Check1->setChecked(true);
    grid->addWidget(Check1, 8, 0, 1, 2);
    Option1 = new QRadioButton(Txt(kTextAsFeed), this);
    Option1->setObjectName(QStringLiteral("Option1"));
    Option1->setAccessibleName(Option1->text());
    Option2 = new QRadioButton(Txt(kTextAsXml), this);
    Option2->setObjectName(QStringLiteral("Option2"));
    Option2->setAccessibleName(Option2->text());
    Option2->setChecked(true);
    grid->addWidget(Option1, 9, 1);
    grid->addWidget(Option2, 10, 1);
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
        for (QLineEdit* edit : {Text4, Text5, Text6})
            edit->setEnabled(on);
    };
    auto openOptions = [this](bool on) {
        Option1->setEnabled(on);
        Option2->setEnabled(on);
    };
    imageBlock(false);
    connect(Check2, &QCheckBox::toggled, this, imageBlock);
    connect(Check1, &QCheckBox::toggled, this, openOptions);
    connect(Ok, &QPushButton::clicked, this, &frmRSSHeader::Ok_Click);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmRSSHeader::Ok_Click()
{
    RssChannel channel{Text1->text(), Text3->text(), Text2->text(),
                       Text4->text(), Text5->text(), Text6->text()};
    const RssCheck check = CheckRssChannel(channel, Check2->isChecked());
    if (!check.ok()) {
        QLineEdit* failing = nullptr;
        switch (check.field) {
        case RssField::Title:
            failing = Text1;
            break;
        case RssField::Link:
            failing = Text3;
            break;
        case RssField::ImageUrl:
            failing = Text4;
            break;
        case RssField::ImageTitle:
            failing = Text5;
            break;
        case RssField::ImageLink:
        case RssField::None:
            failing = Text6;
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
    const bool image = Check2->isChecked();
    return RssChannel{Text1->text(),
                      Text3->text(),
                      Text2->text(),
                      image ? Text4->text() : QString(),
                      image ? Text5->text() : QString(),
                      image ? Text6->text() : QString()};
}

QString frmRSSHeader::FileName() const
{
    return Text7->text();
}

int frmRSSHeader::OpenMode() const
{
    if (!Check1->isChecked())
        return 0;
    return Option1->isChecked() ? 1 : 2;
}

} // namespace orv
