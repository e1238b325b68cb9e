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
    picturesBox = new QCheckBox(Txt(kTextPictures), this);
    picturesBox->setObjectName(QStringLiteral("Check1"));
    picturesBox->setAccessibleName(picturesBox->text());
    okButton = new QPushButton(Txt(kTextOk), this);
    okButton->setObjectName(QStringLiteral("Command1"));
    okButton->setAccessibleName(okButton->text());
    okButton->setDefault(true);
    cancelButton = new QPushButton(Txt(kTextCancel), this);
    cancelButton->setObjectName(QStringLiteral("Command2"));
    cancelButton->setAccessibleName(cancelButton->text());
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    layout->addWidget(label);
    layout->addWidget(picturesBox);
    layout->addLayout(buttons);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

} // namespace orv
