#pragma once

#include <QDialog>

class QCheckBox;
class QPushButton;

namespace orv {

// The question before the program becomes the default browser: OK (also
// Enter) or "Abbruch" (also Esc), and whether it also shows pictures.
class frmHinweisStdBrowser : public QDialog {
    Q_OBJECT
public:
    explicit frmHinweisStdBrowser(QWidget* parent);

    QCheckBox* Check1 = nullptr;     // also the viewer for JPEG, GIF, PNG
    QPushButton* Command1 = nullptr; // "OK"
    QPushButton* Command2 = nullptr; // "Abbruch"
};

} // namespace orv
