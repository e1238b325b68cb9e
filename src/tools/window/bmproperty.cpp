#include "tools/window/bmproperty.h"

#include "app/dialogseam.h"
#include "app/texthelpers.h"
#include "app/texts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace orv {

namespace {

constexpr int kTextBookmark = 1300;
constexpr int kTextName = 1301;
constexpr int kTextUrl = 1302;
constexpr int kTextInfo = 1303;
constexpr int kTextOptions = 1304;
constexpr int kTextAddressBar = 713;
constexpr int kTextToolbar = 714;
constexpr int kTextFeed = 1305;
constexpr int kTextOk = 717;
constexpr int kTextOkNext = 718;
constexpr int kTextCancel = 716;
constexpr int kTextBatchCancel = 739;
constexpr int kTextAdd = 1021;
constexpr int kTextProperties = 1028;
constexpr int kTextEmptyField = 1049;
constexpr int kTextUrlTaken = 1047;
constexpr int kTextUrlTakenEnd = 1048;
const QString kProposedAddress = QStringLiteral("http://");

QLabel* labelFor(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    buddy->setAccessibleName(text.trimmed());
    return label;
}

} // namespace

frmBMProperty::frmBMProperty(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmBMProperty"));
    nameEdit = new QLineEdit(this);
    nameEdit->setObjectName(QStringLiteral("Text1"));
    addressEdit = new QLineEdit(this);
    addressEdit->setObjectName(QStringLiteral("Text2"));
    descriptionEdit = new QPlainTextEdit(this);
    descriptionEdit->setObjectName(QStringLiteral("Text3"));
    descriptionEdit->setTabChangesFocus(true);
    addressBarBox = new QCheckBox(Txt(kTextAddressBar), this);
    addressBarBox->setObjectName(QStringLiteral("Check1"));
    toolbarBox = new QCheckBox(Txt(kTextToolbar), this);
    toolbarBox->setObjectName(QStringLiteral("Check2"));
    feedBox = new QCheckBox(Txt(kTextFeed), this);
    feedBox->setObjectName(QStringLiteral("Check3"));
    Ok = new QPushButton(Txt(kTextOk), this);
    Ok->setObjectName(QStringLiteral("Ok"));
    Cancel = new QPushButton(Txt(kTextCancel), this);
    Cancel->setObjectName(QStringLiteral("Cancel"));
    batchCancelButton = new QPushButton(Txt(kTextBatchCancel), this);
    batchCancelButton->setObjectName(QStringLiteral("Command1"));
    for (QWidget* w : {static_cast<QWidget*>(addressBarBox), static_cast<QWidget*>(toolbarBox),
                       static_cast<QWidget*>(feedBox), static_cast<QWidget*>(Ok),
                       static_cast<QWidget*>(Cancel), static_cast<QWidget*>(batchCancelButton)})
        w->setAccessibleName(static_cast<QAbstractButton*>(w)->text());

    auto* grid = new QGridLayout(this);
    grid->addWidget(labelFor(Txt(kTextName), nameEdit, this), 0, 0);
    grid->addWidget(nameEdit, 0, 1);
    grid->addWidget(labelFor(Txt(kTextUrl), addressEdit, this), 1, 0);
    grid->addWidget(addressEdit, 1, 1);
    grid->addWidget(labelFor(Txt(kTextInfo), descriptionEdit, this), 2, 0, Qt::AlignTop);
    grid->addWidget(descriptionEdit, 2, 1);
    auto* options = new QLabel(Txt(kTextOptions), this);
    grid->addWidget(options, 3, 0, 1, 2);
    grid->addWidget(addressBarBox, 4, 1);
    grid->addWidget(toolbarBox, 5, 1);
    grid->addWidget(feedBox, 6, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Ok);
    buttons->addWidget(Cancel);
    buttons->addWidget(batchCancelButton);
    buttons->addStretch();
    grid->addLayout(buttons, 7, 0, 1, 2);

    Ok->setDefault(true);
    connect(Ok, &QPushButton::clicked, this, &frmBMProperty::Ok_Click);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(batchCancelButton, &QPushButton::clicked, this, &frmBMProperty::Command1_Click);
    connect(nameEdit, &QLineEdit::returnPressed, this, &frmBMProperty::Ok_Click);
    connect(addressEdit, &QLineEdit::returnPressed, this, &frmBMProperty::Ok_Click);
    connect(feedBox, &QCheckBox::toggled, this, &frmBMProperty::Check3_Click);
}

void frmBMProperty::setup(bool bNewBkm, bool batch, const QString& bkTitel, const QString& bkUrl,
                          const Bookmark* edited)
{
    m_new = bNewBkm || !edited;
    batchCancelButton->setVisible(batch);
    Ok->setText(Txt(batch ? kTextOkNext : kTextOk));
    Ok->setAccessibleName(Ok->text());
    // In batch mode OK stands first; otherwise Cancel takes the place of
    // the batch button.
    if (auto* buttons = qobject_cast<QHBoxLayout*>(
            static_cast<QGridLayout*>(layout())->itemAtPosition(7, 0)->layout())) {
        buttons->removeWidget(Ok);
        buttons->insertWidget(batch ? 0 : 1, Ok);
    }
    const QString suffix = Txt(m_new ? kTextAdd : kTextProperties);
    setWindowTitle(Txt(kTextBookmark) + QStringLiteral(" - [") + suffix + QLatin1Char(']'));
    setAccessibleName(windowTitle());
    addressBarBox->setChecked(true);
    toolbarBox->setChecked(true);
    if (m_new) {
        if (!bkUrl.isEmpty()) {
            nameEdit->setText(bkTitel.startsWith(FeedMarker) ? bkTitel.mid(FeedMarker.size())
                                                             : bkTitel);
            addressEdit->setText(bkUrl);
        } else {
            addressEdit->setText(kProposedAddress);
        }
        feedBox->setChecked(IsFeedTitle(bkTitel));
        Check3_Click();
        return;
    }
    nameEdit->setText(edited->shownTitle());
    addressEdit->setText(edited->URL);
    QString info = edited->Info;
    descriptionEdit->setPlainText(info.replace(QLatin1String("\r\n"), QLatin1String("\n")));
    feedBox->setChecked(edited->isFeed());
    Check3_Click();
    // A feed bookmark shows its stored options in disabled boxes.
    addressBarBox->setChecked(edited->Adresszeile);
    toolbarBox->setChecked(edited->Toolbar);
}

void frmBMProperty::Check3_Click()
{
    const bool feed = feedBox->isChecked();
    addressBarBox->setChecked(!feed);
    toolbarBox->setChecked(!feed);
    addressBarBox->setEnabled(!feed);
    toolbarBox->setEnabled(!feed);
}

void frmBMProperty::Ok_Click()
{
    if (nameEdit->text().isEmpty() || addressEdit->text().isEmpty()) {
        ShowMessage(QStringLiteral("Meldung"), Txt(kTextEmptyField), MsgIcon::Critical);
        (nameEdit->text().isEmpty() ? nameEdit : addressEdit)->setFocus();
        return;
    }
    if (m_new && m_takenAddresses.contains(addressEdit->text()) &&
        ShowMessage(QStringLiteral("Meldung"),
                    Txt(kTextUrlTaken) + addressEdit->text() + Txt(kTextUrlTakenEnd),
                    MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes) != MsgAnswer::Yes)
        return;
    done(1);
}

void frmBMProperty::Command1_Click()
{
    m_batchCancelled = true;
    reject();
}

QString frmBMProperty::Title() const
{
    return (feedBox->isChecked() ? FeedMarker.toString() : QString()) + nameEdit->text();
}

QString frmBMProperty::Address() const
{
    return addressEdit->text();
}

QString frmBMProperty::Description() const
{
    QString info = descriptionEdit->toPlainText();
    info.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    return info;
}

bool frmBMProperty::ShowAddressBar() const
{
    return addressBarBox->isChecked();
}

bool frmBMProperty::ShowToolbar() const
{
    return toolbarBox->isChecked();
}

} // namespace orv
