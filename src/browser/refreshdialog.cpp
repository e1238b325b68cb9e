#include "browser/refreshdialog.h"

#include "app/texts.h"
#include "platform/icons.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace orv {

namespace {

constexpr int kTextCaption = 900;
constexpr int kTextActivate = 901;
constexpr int kTextAfter = 902;
constexpr int kTextSeconds = 903;

} // namespace

frmRefresh::frmRefresh(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRefresh"));
    setWindowIcon(ProgramIcon());
    auto* layout = new QVBoxLayout(this);
    Check1 = new QCheckBox(this);
    Check1->setObjectName(QStringLiteral("Check1"));
    layout->addWidget(Check1);

    m_lowerRow = new QWidget(this);
    auto* row = new QHBoxLayout(m_lowerRow);
    row->setContentsMargins(0, 0, 0, 0);
    Label2 = new QLabel(m_lowerRow);
    Combo2 = new QComboBox(m_lowerRow);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Label1 = new QLabel(m_lowerRow);
    Label2->setBuddy(Combo2);
    row->addWidget(Label2);
    row->addWidget(Combo2);
    row->addWidget(Label1);
    row->addStretch(1);
    layout->addWidget(m_lowerRow);
    layout->addStretch(1);
    connect(Check1, &QCheckBox::toggled, this, &frmRefresh::Check1_Click);
}

void frmRefresh::Form_Load(int seconds)
{
    setWindowTitle(Txt(kTextCaption));
    setAccessibleName(Txt(kTextCaption));
    Check1->setText(Txt(kTextActivate));
    Check1->setAccessibleName(Txt(kTextActivate));
    Label2->setText(Txt(kTextAfter));
    Label1->setText(Txt(kTextSeconds));
    Combo2->setAccessibleName(Txt(kTextAfter) + QLatin1Char(' ') + Txt(kTextSeconds));
    Combo2->clear();
    for (int i = 1; i <= kMaxSeconds; ++i)
        Combo2->addItem(QString::number(i));
    setFixedHeight(kHeightClearTwips / kTwipsPerPixel);
    m_lowerRow->setVisible(false);
    const bool on = seconds > 0;
    Combo2->setCurrentIndex(on ? qBound(1, seconds, kMaxSeconds) - 1 : kDefaultSeconds - 1);
    Check1->setChecked(on);
}

void frmRefresh::Check1_Click()
{
    const bool ticked = Check1->isChecked();
    m_lowerRow->setVisible(ticked);
    setFixedHeight((ticked ? kHeightTickedTwips : kHeightClearTwips) / kTwipsPerPixel);
}

int frmRefresh::ChosenSeconds() const
{
    return Check1->isChecked() ? Combo2->currentText().toInt() : 0;
}

QPoint frmRefresh::Position(QPoint windowPos, QRect mainFrame, QSize mainArea)
{
    return {windowPos.x() + mainFrame.left() + (mainFrame.width() - mainArea.width()),
            windowPos.y() + mainFrame.top() + (mainFrame.height() - mainArea.height())};
}

void frmRefresh::reject()
{
    done(QDialog::Accepted);
}

} // namespace orv

namespace orv {

namespace {
ActivityTimings& timings()
{
    static ActivityTimings current;
    return current;
}
} // namespace

const ActivityTimings& ActivityTimings::Current()
{
    return timings();
}

void ActivityTimings::Set(const ActivityTimings& value)
{
    timings() = value;
}

bool ReloadErrorShown(int number)
{
    return number != kErrNoAutomation && number != kErrNoSuchMethod;
}

QString ReloadErrorText(const QString& description, int number)
{
    return description + QStringLiteral(" [") + QString::number(number) + QLatin1Char(']');
}

} // namespace orv
