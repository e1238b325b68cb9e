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

    QCheckBox* picturesBox = nullptr;    // Check1: also the viewer for JPEG, GIF, PNG
    QPushButton* okButton = nullptr;     // Command1: "OK"
    QPushButton* cancelButton = nullptr; // Command2: "Abbruch"
};

} // namespace orv
