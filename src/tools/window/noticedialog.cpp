#include "tools/window/noticedialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orv {

frmHinweis::frmHinweis(QWidget* parent, int linkCount, bool alwaysShow) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmHinweis"));
    setWindowTitle(QStringLiteral("Hinweis"));
    setAccessibleName(windowTitle());
    QString text =
        QStringLiteral("Es werden %n Links geöffnet. Das Öffnen von zu vielen "
                       "Browser-Fenstern kann Probleme mit Systemresourcen verursachen.");
    text.replace(QLatin1String("%n"), QString::number(linkCount));
    auto* label = new QLabel(text + QStringLiteral("\n\nAlle Links jetzt öffnen ?"), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setWordWrap(true);
    Check1 = new QCheckBox(QStringLiteral("Diesen Hinweis immer anzeigen."), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setAccessibleName(Check1->text());
    Check1->setChecked(alwaysShow);
    Ok = new QPushButton(QStringLiteral("OK"), this);
    Ok->setObjectName(QStringLiteral("Ok"));
    Ok->setAccessibleName(Ok->text());
    Ok->setDefault(true);
    Cancel = new QPushButton(QStringLiteral("Abbruch"), this);
    Cancel->setObjectName(QStringLiteral("Cancel"));
    Cancel->setAccessibleName(Cancel->text());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(Check1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Ok);
    buttons->addWidget(Cancel);
    layout->addLayout(buttons);
    connect(Ok, &QPushButton::clicked, this, [this] { done(1); });
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool frmHinweis::AlwaysShow() const
{
    return Check1->isChecked();
}

} // namespace orv
