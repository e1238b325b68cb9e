#include "mainwin/settingsdialog.h"

#include "app/appinit.h"
#include "app/dialogseam.h"
#include "app/textids.h"
#include "app/texts.h"
#include "bookmarks/book.h"
#include "platform/icons.h"
#include "prefs/prefer.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace orv {

namespace {

constexpr int kUrlLength = 2083;    // address and file boxes
constexpr int kAccountLength = 200; // server, user and password boxes
constexpr int kTwipsPerPixel = 15;
constexpr int kTabStripWidth = 7335; // twips
constexpr int kTabStripHeight = 7095;

const QStringList kHistoryEntries = {QStringLiteral("10"), QStringLiteral("50"),
                                     QStringLiteral("100")};
constexpr int kHistoryStep = 10;
constexpr int kHistoryDefault = 50;
constexpr int kIntervalMin = 1;
constexpr int kIntervalMax = 15;
constexpr int kIntervalDefault = 10;
constexpr int kAlignTop = 1;
constexpr int kAlignBottom = 2;

// Text table entries of the dialog.
constexpr int kTextCaption = 724;
constexpr int kTextStartAddress = 700;
constexpr int kTextSearchEngine = 701;
constexpr int kTextMailApp = 702;
constexpr int kTextHistory = 703;
constexpr int kTextGeneral = 704;
constexpr int kTextMailChecking = 705;
constexpr int kTextStart = 706;
constexpr int kTextWindows = 707;
constexpr int kTextAfterStart = 708;
constexpr int kTextOpenBrowser = 709;
constexpr int kTextStatusBar = 710;
constexpr int kTextRegisterRow = 711;
constexpr int kTextBrowserWindow = 712;
constexpr int kTextAddressBar = 713;
constexpr int kTextToolbar = 714;
constexpr int kTextStandard = 715;
constexpr int kTextCancel = 716;
constexpr int kTextOk = 717;
constexpr int kTextPickMailApp = 719;
constexpr int kTextPickLayout = 720;
constexpr int kTextEntriesMax = 721;
constexpr int kTextApplication = 722;
constexpr int kTextBrowse = 723;
constexpr int kTextOpenFolder = 725;
constexpr int kTextOpenLayout = 726;
constexpr int kTextActivate = 727;
constexpr int kTextRegister = 728;
constexpr int kTextTabsAsTabs = 729;
constexpr int kTextTabsAsButtons = 730;
constexpr int kTextBold = 731;
constexpr int kTextTop = 732;
constexpr int kTextBottom = 733;
constexpr int kTextCheckEvery = 734;
constexpr int kTextMinutes = 735;
constexpr int kTextServer = 736;
constexpr int kTextUser = 737;
constexpr int kTextPassword = 738;
constexpr int kTextPopupBlocker = 740;
constexpr int kTextPagesOpenWindows = 419;
constexpr int kTextWindowsInBack = 416;
constexpr int kTextPagesResize = 417;
constexpr int kTextWindowReference = 421;
constexpr int kTextDefaultSearchEngine = 100;
constexpr int kTextHtmlFile = 1009;
constexpr int kTextLayoutFile = 1126;
constexpr int kTextFieldEmpty = 1049;
constexpr int kTextSearchFormLabel = 1505;

constexpr int kTextPickSearchForm = 1507;

const QString kArchivRoot = QStringLiteral("Archiv");
const QString kArchivRootKey = QStringLiteral("[0]");
constexpr int kKeyRole = Qt::UserRole;

QString folderKey(qint32 nr)
{
    return QLatin1Char('[') + QString::number(nr) + QLatin1Char(']');
}

template <typename W> W* named(W* widget, const char* name, const QString& caption)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleName(QString(caption).remove(u'&'));
    return widget;
}

QLineEdit* lineEdit(QWidget* parent, const char* name, const QString& caption, int maxLength)
{
    auto* edit = named(new QLineEdit(parent), name, caption);
    edit->setMaxLength(maxLength);
    return edit;
}

QCheckBox* checkBox(QWidget* parent, const char* name, int text)
{
    return named(new QCheckBox(Txt(text), parent), name, Txt(text));
}

QRadioButton* radio(QWidget* parent, const char* name, int text)
{
    return named(new QRadioButton(Txt(text), parent), name, Txt(text));
}

QPushButton* button(QWidget* parent, const char* name, int text)
{
    auto* b = named(new QPushButton(Txt(text), parent), name, Txt(text));
    b->setAutoDefault(false);
    return b;
}

QLabel* label(QWidget* parent, const QString& text)
{
    return new QLabel(text, parent);
}

// The entry shown for a stored history size: 10 for a value that is no
// multiple of 10, else the largest entry not above it (at least 10).
int historyIndex(int rows)
{
    if (rows % kHistoryStep != 0)
        return 0;
    int index = 0;
    for (int i = 0; i < kHistoryEntries.size(); ++i) {
        if (kHistoryEntries.at(i).toInt() <= rows)
            index = i;
    }
    return index;
}

int intervalIndex(int minutes)
{
    return std::clamp(minutes, kIntervalMin, kIntervalMax) - kIntervalMin;
}

} // namespace

frmEinstell::frmEinstell(Prefer& prefer, const QString& bookFolder, QWidget* parent)
    : QDialog(parent), m_prefer(prefer), m_bookFolder(bookFolder)
{
    setObjectName(QStringLiteral("frmEinstell"));
    setWindowTitle(Txt(kTextCaption));
    setAccessibleName(windowTitle());
    setWindowIcon(QApplication::windowIcon());
    LoadColGrpFileName();
    m_groupFile = m_prefer.GroupFile();

    TabStrip2 = named(new QTabWidget(this), "TabStrip2", Txt(kTextCaption));
    TabStrip2->setMinimumSize(kTabStripWidth / kTwipsPerPixel, kTabStripHeight / kTwipsPerPixel);
    TabStrip2->addTab(buildGeneralPage(), Txt(kTextGeneral));
    TabStrip2->addTab(buildWindowPage(), Txt(kTextWindows));
    TabStrip2->addTab(buildStartPage(), Txt(kTextStart));
    TabStrip2->addTab(buildMailPage(), Txt(kTextMailChecking));
    TabStrip2->setCurrentIndex(0);

    Save = button(this, "Save", kTextOk);
    Save->setAutoDefault(true);
    Save->setDefault(true);
    Quit = button(this, "Quit", kTextCancel);
    Standard = button(this, "Standard", kTextStandard);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Standard);
    buttons->addStretch(1);
    buttons->addWidget(Save);
    buttons->addWidget(Quit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TabStrip2);
    layout->addLayout(buttons);

    connect(Save, &QPushButton::clicked, this, &frmEinstell::Save_Click);
    connect(Quit, &QPushButton::clicked, this, &QDialog::reject);
    connect(Standard, &QPushButton::clicked, this, &frmEinstell::Standard_Click);

    fillFromPreferences();
}

QWidget* frmEinstell::buildGeneralPage()
{
    auto* page = named(new QWidget, "Allgemein", Txt(kTextGeneral));
    auto* grid = new QGridLayout(page);
    int row = 0;
    Text1 = lineEdit(page, "Text1", Txt(kTextStartAddress), kUrlLength);
    grid->addWidget(label(page, Txt(kTextStartAddress)), row, 0);
    grid->addWidget(Text1, row++, 1, 1, 2);
    Text2 = lineEdit(page, "Text2", Txt(kTextSearchEngine), kUrlLength);
    grid->addWidget(label(page, Txt(kTextSearchEngine)), row, 0);
    grid->addWidget(Text2, row++, 1, 1, 2);
    Text3 = lineEdit(page, "Text3", Txt(kTextMailApp), kUrlLength);
    Command2 = named(new QPushButton(Txt(kTextBrowse), page), "Command2",
                     Txt(kTextBrowse) + QLatin1Char(' ') + Txt(kTextMailApp));
    Command2->setAutoDefault(false);
    grid->addWidget(label(page, Txt(kTextMailApp)), row, 0);
    grid->addWidget(Text3, row, 1);
    grid->addWidget(Command2, row++, 2);
    Text4 = lineEdit(page, "Text4", Txt(kTextSearchFormLabel), kUrlLength);
    Command1 = named(new QPushButton(Txt(kTextBrowse), page), "Command1",
                     Txt(kTextBrowse) + QLatin1Char(' ') + Txt(kTextSearchFormLabel));
    Command1->setAutoDefault(false);
    grid->addWidget(label(page, Txt(kTextSearchFormLabel)), row, 0);
    grid->addWidget(Text4, row, 1);
    grid->addWidget(Command1, row++, 2);
    Combo1 = named(new QComboBox(page), "Combo1", Txt(kTextHistory));
    Combo1->addItems(kHistoryEntries);
    auto* history = new QHBoxLayout;
    history->addWidget(Combo1);
    history->addWidget(label(page, Txt(kTextEntriesMax)));
    history->addStretch(1);
    grid->addWidget(label(page, Txt(kTextHistory)), row, 0);
    grid->addLayout(history, row++, 1, 1, 2);
    Check1 = checkBox(page, "Check1", kTextStatusBar);
    grid->addWidget(Check1, row++, 0, 1, 3);
    Check5 = checkBox(page, "Check5", kTextRegisterRow);
    grid->addWidget(Check5, row++, 0, 1, 3);

    grid->addWidget(label(page, Txt(kTextRegister)), row++, 0, 1, 3);
    Option1 = radio(page, "Option1", kTextTabsAsTabs);
    Option2 = radio(page, "Option2", kTextTabsAsButtons);
    auto* style = new QButtonGroup(page);
    style->addButton(Option1);
    style->addButton(Option2);
    Option4 = radio(page, "Option4", kTextTop);
    Option5 = radio(page, "Option5", kTextBottom);
    auto* align = new QButtonGroup(page);
    align->addButton(Option4);
    align->addButton(Option5);
    grid->addWidget(Option1, row, 0);
    grid->addWidget(Option4, row++, 1);
    grid->addWidget(Option2, row, 0);
    grid->addWidget(Option5, row++, 1);
    Check7 = checkBox(page, "Check7", kTextBold);
    grid->addWidget(Check7, row++, 0, 1, 3);
    grid->setRowStretch(row, 1);
    return page;
}

QWidget* frmEinstell::buildWindowPage()
{
    auto* page = named(new QWidget, "Fenster", Txt(kTextWindows));
    auto* box = new QVBoxLayout(page);
    box->addWidget(label(page, Txt(kTextBrowserWindow)));
    Check3 = checkBox(page, "Check3", kTextAddressBar);
    Check4 = checkBox(page, "Check4", kTextToolbar);
    Check8 = checkBox(page, "Check8", kTextPagesOpenWindows);
    Check9 = checkBox(page, "Check9", kTextWindowsInBack);
    Check10 = checkBox(page, "Check10", kTextPagesResize);
    Check11 = checkBox(page, "Check11", kTextWindowReference);
    Check12 = checkBox(page, "Check12", kTextPopupBlocker);
    for (QCheckBox* check : {Check3, Check4, Check8, Check9, Check10, Check11, Check12})
        box->addWidget(check);
    box->addStretch(1);
    connect(Check8, &QCheckBox::clicked, this, &frmEinstell::Check8_Click);
    return page;
}

QWidget* frmEinstell::buildStartPage()
{
    auto* page = named(new QWidget, "Programmstart", Txt(kTextStart));
    auto* grid = new QGridLayout(page);
    int row = 0;
    grid->addWidget(label(page, Txt(kTextAfterStart)), row++, 0, 1, 3);
    Check2 = checkBox(page, "Check2", kTextOpenBrowser);
    grid->addWidget(Check2, row++, 0, 1, 3);
    Check6 = checkBox(page, "Check6", kTextOpenFolder);
    ImageCombo1 = named(new QComboBox(page), "ImageCombo1", Txt(kTextOpenFolder));
    grid->addWidget(Check6, row, 0);
    grid->addWidget(ImageCombo1, row++, 1, 1, 2);
    // A lone option: only the program clears it.
    Option3 = radio(page, "Option3", kTextOpenLayout);
    Option3->setAutoExclusive(false);
    Text16 = lineEdit(page, "Text16", Txt(kTextOpenLayout), kUrlLength);
    LayoutSearch_Btn = named(new QPushButton(Txt(kTextBrowse), page), "LayoutSearch_Btn",
                             Txt(kTextBrowse) + QLatin1Char(' ') + Txt(kTextOpenLayout));
    LayoutSearch_Btn->setAutoDefault(false);
    grid->addWidget(Option3, row, 0);
    grid->addWidget(Text16, row, 1);
    grid->addWidget(LayoutSearch_Btn, row++, 2);
    grid->setRowStretch(row, 1);

    connect(Check2, &QCheckBox::clicked, this, &frmEinstell::Check2_Click);
    connect(Check6, &QCheckBox::clicked, this, &frmEinstell::Check6_Click);
    connect(Option3, &QRadioButton::clicked, this, &frmEinstell::Option3_Click);
    connect(ImageCombo1, &QComboBox::currentIndexChanged, this, &frmEinstell::ImageCombo1_Change);
    connect(LayoutSearch_Btn, &QPushButton::clicked, this, [this] {
        pickFile(kTextPickLayout, Txt(kTextLayoutFile) + QStringLiteral(" (*.wlt)"), Text16);
    });
    return page;
}

QWidget* frmEinstell::buildMailPage()
{
    auto* page = named(new QWidget, "POP3", Txt(kTextMailChecking));
    auto* grid = new QGridLayout(page);
    grid->addWidget(label(page, Txt(kTextServer)), 0, 1);
    grid->addWidget(label(page, Txt(kTextUser)), 0, 2);
    grid->addWidget(label(page, Txt(kTextPassword)), 0, 3);
    for (int i = 0; i < AccountCount; ++i) {
        const QString n = QLatin1Char(' ') + QString::number(i + 1);
        const int row = i + 1;
        CheckM[i] = named(new QCheckBox(Txt(kTextActivate), page), "", Txt(kTextActivate) + n);
        CheckM[i]->setObjectName(QStringLiteral("CheckM%1").arg(i + 1));
        TextSrv[i] = lineEdit(page, "", Txt(kTextServer) + n, kAccountLength);
        TextSrv[i]->setObjectName(QStringLiteral("TextSrv%1").arg(i + 1));
        TextUsr[i] = lineEdit(page, "", Txt(kTextUser) + n, kAccountLength);
        TextUsr[i]->setObjectName(QStringLiteral("TextUsr%1").arg(i + 1));
        TextPwd[i] = lineEdit(page, "", Txt(kTextPassword) + n, kAccountLength);
        TextPwd[i]->setObjectName(QStringLiteral("TextPwd%1").arg(i + 1));
        TextPwd[i]->setEchoMode(QLineEdit::Password);
        grid->addWidget(CheckM[i], row, 0);
        grid->addWidget(TextSrv[i], row, 1);
        grid->addWidget(TextUsr[i], row, 2);
        grid->addWidget(TextPwd[i], row, 3);
        connect(CheckM[i], &QCheckBox::clicked, this, [this, i] { CheckM_Click(i); });
    }
    Combo2 = named(new QComboBox(page), "Combo2", Txt(kTextCheckEvery));
    for (int m = kIntervalMin; m <= kIntervalMax; ++m)
        Combo2->addItem(QString::number(m));
    auto* interval = new QHBoxLayout;
    interval->addWidget(label(page, Txt(kTextCheckEvery)));
    interval->addWidget(Combo2);
    interval->addWidget(label(page, Txt(kTextMinutes)));
    interval->addStretch(1);
    grid->addLayout(interval, AccountCount + 1, 0, 1, 4);
    grid->setRowStretch(AccountCount + 2, 1);

    connect(Command1, &QPushButton::clicked, this, [this] {
        pickFile(kTextPickSearchForm, Txt(kTextHtmlFile) + QStringLiteral(" (*.htm *.html)"),
                 Text4);
    });
    connect(Command2, &QPushButton::clicked, this, [this] {
        // Linux programs carry no extension: every file is offered.
        pickFile(kTextPickMailApp, Txt(kTextApplication) + QStringLiteral(" (*)"), Text3);
    });
    return page;
}

void frmEinstell::fillFromPreferences()
{
    Text1->setText(m_prefer.HomeUrl());
    Text2->setText(m_prefer.SearchEngine());
    Text3->setText(m_prefer.MailClient());
    Text4->setText(m_prefer.SearchEngineFile());
    Combo1->setCurrentIndex(historyIndex(m_prefer.HistoryRows()));
    Check1->setChecked(m_prefer.StatusBar() != 0);
    Check5->setChecked(m_prefer.TabStrip());
    Option2->setChecked(m_prefer.TabButton());
    Option1->setChecked(!m_prefer.TabButton());
    Option4->setChecked(m_prefer.TabAlign() == kAlignTop);
    Option5->setChecked(m_prefer.TabAlign() != kAlignTop);
    Check7->setChecked(m_prefer.TabFontBold() != 0);

    Check3->setChecked(m_prefer.Adresszeile());
    Check4->setChecked(m_prefer.Toolbar());
    Check8->setChecked(m_prefer.AllowOpenWin());
    Check9->setChecked(m_prefer.AllowWinInBack());
    Check10->setChecked(m_prefer.AllowResizeWin());
    Check11->setChecked(m_prefer.AllowWinRef());
    Check12->setChecked(m_prefer.IEPopupBlocker());
    // The engine's own pop-up blocker cannot be chosen on this system.
    Check12->setEnabled(false);
    Check8_Click();

    Check2->setChecked(m_prefer.StartBrowser());
    constexpr int kLoadLayout = 2;
    constexpr int kLoadFolder = 3;
    Check6->setChecked(m_prefer.LoadOption() == kLoadFolder);
    ImageCombo1->setEnabled(Check6->isChecked());
    if (Check6->isChecked())
        FillCombo();
    Option3->setChecked(m_prefer.LoadOption() == kLoadLayout);
    // The stored file name keeps the padding of its field.
    Text16->setText(Option3->isChecked() ? m_prefer.Layout().trimmed() : QString());
    Text16->setEnabled(Option3->isChecked());
    LayoutSearch_Btn->setEnabled(Option3->isChecked());

    for (int i = 0; i < AccountCount; ++i) {
        TextSrv[i]->setText(m_prefer.MailSrv(i + 1));
        TextUsr[i]->setText(m_prefer.User(i + 1));
        TextPwd[i]->setText(m_prefer.Pwd(i + 1));
        CheckM[i]->setChecked(m_prefer.EnableMailCheck(i + 1));
    }
    Combo2->setCurrentIndex(intervalIndex(m_prefer.CheckIntervall()));
    CheckActivate();
}

void frmEinstell::LoadColGrpFileName()
{
    m_colGrpFileName.clear();
    Book book(m_bookFolder);
    if (!book.LoadAllThema() || !book.colThema())
        return;
    for (const Thema& thema : *book.colThema())
        m_colGrpFileName.insert(folderKey(thema.Nr()), thema.FileName());
}

void frmEinstell::FillCombo()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QSignalBlocker blocker(ImageCombo1);
    ImageCombo1->clear();
    Book book(m_bookFolder);
    const QIcon& folderIcon = TreeImage(TreeImageKind::Folder);
    ImageCombo1->addItem(TreeImage(TreeImageKind::Archive), kArchivRoot, kArchivRootKey);
    int selected = -1;
    if (book.LoadAllThema() && book.colThema()) {
        for (const Thema& thema : *book.colThema()) {
            // Folders are shown indented under the archive.
            ImageCombo1->addItem(folderIcon, thema.DirName(), folderKey(thema.Nr()));
            if (selected < 0 && thema.DirName() == m_prefer.Group().trimmed())
                selected = ImageCombo1->count() - 1;
        }
    }
    ImageCombo1->setCurrentIndex(selected);
    m_comboFilled = true;
    // The stored file name follows the folder found by its name.
    if (selected >= 0)
        ImageCombo1_Change();
    QApplication::restoreOverrideCursor();
}

void frmEinstell::CheckActivate()
{
    for (int i = 0; i < AccountCount; ++i) {
        const bool on = CheckM[i]->isChecked();
        TextSrv[i]->setEnabled(on);
        TextUsr[i]->setEnabled(on);
        TextPwd[i]->setEnabled(on);
    }
}

void frmEinstell::Check2_Click()
{
    Option3->setChecked(false);
    Text16->setEnabled(false);
    LayoutSearch_Btn->setEnabled(false);
}

void frmEinstell::Check6_Click()
{
    Option3->setChecked(false);
    Text16->setEnabled(false);
    LayoutSearch_Btn->setEnabled(false);
    if (Check6->isChecked()) {
        ImageCombo1->setEnabled(true);
        FillCombo();
    } else {
        const QSignalBlocker blocker(ImageCombo1);
        ImageCombo1->clear();
        ImageCombo1->setEnabled(false);
    }
}

void frmEinstell::Option3_Click()
{
    Option3->setChecked(true);
    Check6->setChecked(false);
    ImageCombo1->setEnabled(false);
    Text16->setEnabled(true);
    LayoutSearch_Btn->setEnabled(true);
}

void frmEinstell::Check8_Click()
{
    const bool on = Check8->isChecked();
    Check9->setEnabled(on);
    Check10->setEnabled(on);
    Check11->setEnabled(on);
}

void frmEinstell::CheckM_Click(int index)
{
    CheckActivate();
    if (CheckM[index]->isChecked() && TextSrv[index]->text().isEmpty())
        TextSrv[index]->setFocus();
}

void frmEinstell::ImageCombo1_Change()
{
    if (!ImageCombo1->isEnabled() || ImageCombo1->count() == 0)
        return;
    m_groupFile = m_colGrpFileName.value(ImageCombo1->currentData(kKeyRole).toString());
}

void frmEinstell::pickFile(int titleText, const QString& filter, QLineEdit* target)
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.title = Txt(titleText);
    request.filters = QStringList{filter};
    // External opening stays suspended: the whole dialog runs so.
    const QString chosen = Dialogs().fileDialog(request).trimmed();
    if (!chosen.isEmpty())
        target->setText(chosen);
}

bool frmEinstell::ValidateForm()
{
    for (int i = 0; i < AccountCount; ++i) {
        if (!CheckM[i]->isChecked())
            continue;
        QLineEdit* empty = nullptr;
        if (TextSrv[i]->text().trimmed().isEmpty())
            empty = TextSrv[i];
        else if (TextUsr[i]->text().isEmpty())
            empty = TextUsr[i];
        else if (TextPwd[i]->text().isEmpty())
            empty = TextPwd[i];
        if (empty) {
            TabStrip2->setCurrentIndex(
                TabStrip2->indexOf(TabStrip2->findChild<QWidget*>(QStringLiteral("POP3"))));
            empty->setFocus();
            ShowMessage(Txt(kTextMeldung), Txt(kTextFieldEmpty), MsgIcon::Warning);
            return false;
        }
    }
    return true;
}

void frmEinstell::storeStartOptions()
{
    constexpr int kLoadNone = 0;
    constexpr int kLoadBrowser = 1;
    constexpr int kLoadLayout = 2;
    constexpr int kLoadFolder = 3;
    if (Check2->isChecked())
        m_prefer.setLoadOption(kLoadBrowser);
    if (m_comboFilled) {
        if (Check6->isChecked() && !ImageCombo1->currentText().isEmpty()) {
            m_prefer.setLoadOption(kLoadFolder);
            m_prefer.setGroup(ImageCombo1->currentText());
            m_prefer.setGroupFile(m_groupFile);
        } else {
            m_prefer.setGroup(QString());
            Check6->setChecked(false);
        }
    } else if (Check6->isChecked()) {
        m_prefer.setLoadOption(kLoadFolder);
    }
    if (Option3->isChecked() && !Text16->text().isEmpty()) {
        m_prefer.setLoadOption(kLoadLayout);
        m_prefer.setLayout(Text16->text());
    } else {
        m_prefer.setLayout(QString());
        Option3->setChecked(false);
    }
    if (!Check6->isChecked() && !Check2->isChecked() && !Option3->isChecked())
        m_prefer.setLoadOption(kLoadNone);
}

void frmEinstell::Save_Click()
{
    if (!ValidateForm())
        return;
    m_prefer.setHomeUrl(Text1->text());
    m_prefer.setSearchEngine(Text2->text());
    m_prefer.setMailClient(Text3->text());
    m_prefer.setSearchEngineFile(Text4->text());
    m_prefer.setHistoryRows(Combo1->currentText().toInt());
    m_prefer.setStatusBar(Check1->isChecked() ? 1 : 0);
    m_prefer.setTabStrip(Check5->isChecked());
    m_prefer.setTabButton(Option2->isChecked());
    m_prefer.setTabAlign(Option4->isChecked() ? kAlignTop : kAlignBottom);
    m_prefer.setTabFontBold(Check7->isChecked() ? 1 : 0);
    m_prefer.setAdresszeile(Check3->isChecked());
    m_prefer.setToolbar(Check4->isChecked());
    m_prefer.setAllowOpenWin(Check8->isChecked());
    m_prefer.setAllowWinInBack(Check9->isChecked());
    m_prefer.setAllowResizeWin(Check10->isChecked());
    m_prefer.setAllowWinRef(Check11->isChecked());
    m_prefer.setIEPopupBlocker(Check12->isChecked());
    m_prefer.setStartBrowser(Check2->isChecked());
    for (int i = 0; i < AccountCount; ++i) {
        m_prefer.setMailSrv(i + 1, TextSrv[i]->text());
        m_prefer.setUser(i + 1, TextUsr[i]->text());
        m_prefer.setPwd(i + 1, TextPwd[i]->text());
        m_prefer.setEnableMailCheck(i + 1, CheckM[i]->isChecked());
    }
    m_prefer.setCheckIntervall(Combo2->currentText().toInt());
    storeStartOptions();
    const FileResult saved = m_prefer.SavePref();
    if (!saved.ok)
        ShowMessage(Txt(kTextFehlermeldung), saved.error, MsgIcon::Critical);
    accept();
}

void frmEinstell::Standard_Click()
{
    Text1->setText(ProductPageUrl());
    Text2->setText(Txt(kTextDefaultSearchEngine));
    Text3->clear();
    // The shipped search form of the program folder, as a new preference
    // file has it.
    Text4->setText(AppFolder() + QLatin1Char('/') + Txt(kTextSearchFormFile));
    Combo1->setCurrentIndex(historyIndex(kHistoryDefault));
    Check1->setChecked(true);
    Check2->setChecked(true);
    Check2_Click();
    Check3->setChecked(true);
    Check4->setChecked(true);
    Check5->setChecked(false);
    Combo2->setCurrentIndex(intervalIndex(kIntervalDefault));
    for (QCheckBox* check : CheckM)
        check->setChecked(false);
    CheckActivate();
    Option1->setChecked(true);
    Check7->setChecked(false);
    Check8->setChecked(true);
    Check8_Click();
    Check9->setChecked(false);
    Check10->setChecked(true);
    Check11->setChecked(false);
}

} // namespace orv
