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
    reloadEnabled = new QCheckBox(this);
    reloadEnabled->setObjectName(QStringLiteral("Check1"));
    layout->addWidget(reloadEnabled);

    m_lowerRow = new QWidget(this);
    auto* row = new QHBoxLayout(m_lowerRow);
    row->setContentsMargins(0, 0, 0, 0);
    afterLabel = new QLabel(m_lowerRow);
    afterLabel->setObjectName(QStringLiteral("Label2"));
    secondsChoice = new QComboBox(m_lowerRow);
    secondsChoice->setObjectName(QStringLiteral("Combo2"));
    secondsLabel = new QLabel(m_lowerRow);
    secondsLabel->setObjectName(QStringLiteral("Label1"));
    afterLabel->setBuddy(secondsChoice);
    row->addWidget(afterLabel);
    row->addWidget(secondsChoice);
    row->addWidget(secondsLabel);
    row->addStretch(1);
    layout->addWidget(m_lowerRow);
    layout->addStretch(1);
    connect(reloadEnabled, &QCheckBox::toggled, this, &frmRefresh::Check1_Click);
}

void frmRefresh::Form_Load(int seconds)
{
    setWindowTitle(Txt(kTextCaption));
    setAccessibleName(Txt(kTextCaption));
    reloadEnabled->setText(Txt(kTextActivate));
    reloadEnabled->setAccessibleName(Txt(kTextActivate));
    afterLabel->setText(Txt(kTextAfter));
    secondsLabel->setText(Txt(kTextSeconds));
    secondsChoice->setAccessibleName(Txt(kTextAfter) + QLatin1Char(' ') + Txt(kTextSeconds));
    secondsChoice->clear();
    for (int i = 1; i <= kMaxSeconds; ++i)
        secondsChoice->addItem(QString::number(i));
    setFixedHeight(kHeightClearTwips / kTwipsPerPixel);
    m_lowerRow->setVisible(false);
    const bool on = seconds > 0;
    secondsChoice->setCurrentIndex(on ? qBound(1, seconds, kMaxSeconds) - 1 : kDefaultSeconds - 1);
    reloadEnabled->setChecked(on);
}

void frmRefresh::Check1_Click()
{
    const bool ticked = reloadEnabled->isChecked();
    m_lowerRow->setVisible(ticked);
    setFixedHeight((ticked ? kHeightTickedTwips : kHeightClearTwips) / kTwipsPerPixel);
}

int frmRefresh::ChosenSeconds() const
{
    return reloadEnabled->isChecked() ? secondsChoice->currentText().toInt() : 0;
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

void ActivityTimings::SkipNewWindow(bool skip)
{
    timings().skipNewWindow = skip;
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
