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
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text2 = new QLineEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text3 = new QPlainTextEdit(this);
    Text3->setObjectName(QStringLiteral("Text3"));
    Text3->setTabChangesFocus(true);
    Check1 = new QCheckBox(Txt(kTextAddressBar), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check2 = new QCheckBox(Txt(kTextToolbar), this);
    Check2->setObjectName(QStringLiteral("Check2"));
    Check3 = new QCheckBox(Txt(kTextFeed), this);
    Check3->setObjectName(QStringLiteral("Check3"));
    Ok = new QPushButton(Txt(kTextOk), this);
    Ok->setObjectName(QStringLiteral("Ok"));
    Cancel = new QPushButton(Txt(kTextCancel), this);
    Cancel->setObjectName(QStringLiteral("Cancel"));
    Command1 = new QPushButton(Txt(kTextBatchCancel), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    for (QWidget* w : {static_cast<QWidget*>(Check1), static_cast<QWidget*>(Check2),
                       static_cast<QWidget*>(Check3), static_cast<QWidget*>(Ok),
                       static_cast<QWidget*>(Cancel), static_cast<QWidget*>(Command1)})
        w->setAccessibleName(static_cast<QAbstractButton*>(w)->text());

    auto* grid = new QGridLayout(this);
    grid->addWidget(labelFor(Txt(kTextName), Text1, this), 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(labelFor(Txt(kTextUrl), Text2, this), 1, 0);
    grid->addWidget(Text2, 1, 1);
    grid->addWidget(labelFor(Txt(kTextInfo), Text3, this), 2, 0, Qt::AlignTop);
    grid->addWidget(Text3, 2, 1);
    auto* options = new QLabel(Txt(kTextOptions), this);
    grid->addWidget(options, 3, 0, 1, 2);
    grid->addWidget(Check1, 4, 1);
    grid->addWidget(Check2, 5, 1);
    grid->addWidget(Check3, 6, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Ok);
    buttons->addWidget(Cancel);
    buttons->addWidget(Command1);
    buttons->addStretch();
    grid->addLayout(buttons, 7, 0, 1, 2);

    Ok->setDefault(true);
    connect(Ok, &QPushButton::clicked, this, &frmBMProperty::Ok_Click);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Command1, &QPushButton::clicked, this, &frmBMProperty::Command1_Click);
    connect(Text1, &QLineEdit::returnPressed, this, &frmBMProperty::Ok_Click);
    connect(Text2, &QLineEdit::returnPressed, this, &frmBMProperty::Ok_Click);
    connect(Check3, &QCheckBox::toggled, this, &frmBMProperty::Check3_Click);
}

void frmBMProperty::setup(bool bNewBkm, bool batch, const QString& bkTitel, const QString& bkUrl,
                          const Bookmark* edited)
{
    m_new = bNewBkm || !edited;
    Command1->setVisible(batch);
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
    Check1->setChecked(true);
    Check2->setChecked(true);
    if (m_new) {
        if (!bkUrl.isEmpty()) {
            Text1->setText(bkTitel.startsWith(FeedMarker) ? bkTitel.mid(FeedMarker.size())
                                                          : bkTitel);
            Text2->setText(bkUrl);
        } else {
            Text2->setText(kProposedAddress);
        }
        Check3->setChecked(IsFeedTitle(bkTitel));
        Check3_Click();
        return;
    }
    Text1->setText(edited->shownTitle());
    Text2->setText(edited->URL);
    QString info = edited->Info;
    Text3->setPlainText(info.replace(QLatin1String("\r\n"), QLatin1String("\n")));
    Check3->setChecked(edited->isFeed());
    Check3_Click();
    // A feed bookmark shows its stored options in disabled boxes.
    Check1->setChecked(edited->Adresszeile);
    Check2->setChecked(edited->Toolbar);
}

void frmBMProperty::Check3_Click()
{
    const bool feed = Check3->isChecked();
    Check1->setChecked(!feed);
    Check2->setChecked(!feed);
    Check1->setEnabled(!feed);
    Check2->setEnabled(!feed);
}

void frmBMProperty::Ok_Click()
{
    if (Text1->text().isEmpty() || Text2->text().isEmpty()) {
        ShowMessage(QStringLiteral("Meldung"), Txt(kTextEmptyField), MsgIcon::Critical);
        (Text1->text().isEmpty() ? Text1 : Text2)->setFocus();
        return;
    }
    if (m_new && addressTaken && addressTaken(Text2->text()) &&
        ShowMessage(QStringLiteral("Meldung"),
                    Txt(kTextUrlTaken) + Text2->text() + Txt(kTextUrlTakenEnd), MsgIcon::Question,
                    MsgButtons::YesNo, MsgAnswer::Yes) != MsgAnswer::Yes)
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
    return (Check3->isChecked() ? FeedMarker.toString() : QString()) + Text1->text();
}

QString frmBMProperty::Address() const
{
    return Text2->text();
}

QString frmBMProperty::Description() const
{
    QString info = Text3->toPlainText();
    info.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    return info;
}

bool frmBMProperty::ShowAddressBar() const
{
    return Check1->isChecked();
}

bool frmBMProperty::ShowToolbar() const
{
    return Check2->isChecked();
}

} // namespace orv
