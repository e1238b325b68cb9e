#include "mainwin/stdbrowserdialog.h"

#include "app/texts.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orv {

namespace {

constexpr int kTextCaption = 312;   // "Orvane als &Standardbrowser..."
constexpr int kTextQuestion = 1133; // "Orvane als Standardbrowser setzen ?"
constexpr int kTextPictures = 313;  // "Orvane ist auch  Viewer für JPEG, GIF, PNG."
constexpr int kTextOk = 717;        // "OK"
constexpr int kTextCancel = 716;    // "Abbruch"

} // namespace

frmHinweisStdBrowser::frmHinweisStdBrowser(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmHinweisStdBrowser"));
    setWindowTitle(QString(Txt(kTextCaption)).remove(u'&'));
    setAccessibleName(windowTitle());
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(Txt(kTextQuestion), this);
    label->setObjectName(QStringLiteral("Label1"));
    Check1 = new QCheckBox(Txt(kTextPictures), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setAccessibleName(Check1->text());
    Command1 = new QPushButton(Txt(kTextOk), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAccessibleName(Command1->text());
    Command1->setDefault(true);
    Command2 = new QPushButton(Txt(kTextCancel), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setAccessibleName(Command2->text());
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    layout->addWidget(label);
    layout->addWidget(Check1);
    layout->addLayout(buttons);
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
}

} // namespace orv
