#pragma once

#include <QDialog>

class QCheckBox;
class QPushButton;

namespace orv {

// The notice before many windows open at once: OK opens them, "Abbruch"
// (or closing) opens none; the check box keeps the notice on.
class frmHinweis : public QDialog {
    Q_OBJECT
public:
    frmHinweis(QWidget* parent, int linkCount, bool alwaysShow);
    bool AlwaysShow() const;

    QCheckBox* Check1 = nullptr;
    QPushButton* Ok = nullptr;
    QPushButton* Cancel = nullptr;
};

} // namespace orv
