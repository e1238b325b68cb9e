#include "mainwin/settingsdialog.h"

#include "app/appinit.h"
#include "app/dialogseam.h"
#include "app/textids.h"
#include "app/texts.h"
#include "bookmarks/book.h"
#include "mainwin/mailcheck.h"
#include "platform/icons.h"
#include "platform/pop3client.h"
#include "platform/trustedcerts.h"
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

const QString kCheckCertificate = QStringLiteral("Zertifikat prüfen...");

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

    pages = named(new QTabWidget(this), "TabStrip2", Txt(kTextCaption));
    pages->setMinimumSize(kTabStripWidth / kTwipsPerPixel, kTabStripHeight / kTwipsPerPixel);
    pages->addTab(buildGeneralPage(), Txt(kTextGeneral));
    pages->addTab(buildWindowPage(), Txt(kTextWindows));
    pages->addTab(buildStartPage(), Txt(kTextStart));
    pages->addTab(buildMailPage(), Txt(kTextMailChecking));
    pages->setCurrentIndex(0);

    saveButton = button(this, "Save", kTextOk);
    saveButton->setAutoDefault(true);
    saveButton->setDefault(true);
    cancelButton = button(this, "Quit", kTextCancel);
    defaultsButton = button(this, "Standard", kTextStandard);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(defaultsButton);
    buttons->addStretch(1);
    buttons->addWidget(saveButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addLayout(buttons);

    connect(saveButton, &QPushButton::clicked, this, &frmEinstell::Save_Click);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(defaultsButton, &QPushButton::clicked, this, &frmEinstell::Standard_Click);

    fillFromPreferences();
}

QWidget* frmEinstell::buildGeneralPage()
{
    auto* page = named(new QWidget, "Allgemein", Txt(kTextGeneral));
    auto* grid = new QGridLayout(page);
    int row = 0;
    startAddress = lineEdit(page, "Text1", Txt(kTextStartAddress), kUrlLength);
    grid->addWidget(label(page, Txt(kTextStartAddress)), row, 0);
    grid->addWidget(startAddress, row++, 1, 1, 2);
    searchEngine = lineEdit(page, "Text2", Txt(kTextSearchEngine), kUrlLength);
    grid->addWidget(label(page, Txt(kTextSearchEngine)), row, 0);
    grid->addWidget(searchEngine, row++, 1, 1, 2);
    mailApplication = lineEdit(page, "Text3", Txt(kTextMailApp), kUrlLength);
    pickMailApplication = named(new QPushButton(Txt(kTextBrowse), page), "Command2",
                                Txt(kTextBrowse) + QLatin1Char(' ') + Txt(kTextMailApp));
    pickMailApplication->setAutoDefault(false);
    grid->addWidget(label(page, Txt(kTextMailApp)), row, 0);
    grid->addWidget(mailApplication, row, 1);
    grid->addWidget(pickMailApplication, row++, 2);
    searchFormFile = lineEdit(page, "Text4", Txt(kTextSearchFormLabel), kUrlLength);
    pickSearchFormFile = named(new QPushButton(Txt(kTextBrowse), page), "Command1",
                               Txt(kTextBrowse) + QLatin1Char(' ') + Txt(kTextSearchFormLabel));
    pickSearchFormFile->setAutoDefault(false);
    grid->addWidget(label(page, Txt(kTextSearchFormLabel)), row, 0);
    grid->addWidget(searchFormFile, row, 1);
    grid->addWidget(pickSearchFormFile, row++, 2);
    historyRows = named(new QComboBox(page), "Combo1", Txt(kTextHistory));
    historyRows->addItems(kHistoryEntries);
    auto* history = new QHBoxLayout;
    history->addWidget(historyRows);
    history->addWidget(label(page, Txt(kTextEntriesMax)));
    history->addStretch(1);
    grid->addWidget(label(page, Txt(kTextHistory)), row, 0);
    grid->addLayout(history, row++, 1, 1, 2);
    showStatusBar = checkBox(page, "Check1", kTextStatusBar);
    grid->addWidget(showStatusBar, row++, 0, 1, 3);
    showRegisterRow = checkBox(page, "Check5", kTextRegisterRow);
    grid->addWidget(showRegisterRow, row++, 0, 1, 3);

    grid->addWidget(label(page, Txt(kTextRegister)), row++, 0, 1, 3);
    tabsAsTabs = radio(page, "Option1", kTextTabsAsTabs);
    tabsAsButtons = radio(page, "Option2", kTextTabsAsButtons);
    auto* style = new QButtonGroup(page);
    style->addButton(tabsAsTabs);
    style->addButton(tabsAsButtons);
    tabsAtTop = radio(page, "Option4", kTextTop);
    tabsAtBottom = radio(page, "Option5", kTextBottom);
    auto* align = new QButtonGroup(page);
    align->addButton(tabsAtTop);
    align->addButton(tabsAtBottom);
    grid->addWidget(tabsAsTabs, row, 0);
    grid->addWidget(tabsAtTop, row++, 1);
    grid->addWidget(tabsAsButtons, row, 0);
    grid->addWidget(tabsAtBottom, row++, 1);
    boldTabFont = checkBox(page, "Check7", kTextBold);
    grid->addWidget(boldTabFont, row++, 0, 1, 3);
    grid->setRowStretch(row, 1);
    return page;
}

QWidget* frmEinstell::buildWindowPage()
{
    auto* page = named(new QWidget, "Fenster", Txt(kTextWindows));
    auto* box = new QVBoxLayout(page);
    box->addWidget(label(page, Txt(kTextBrowserWindow)));
    showAddressBar = checkBox(page, "Check3", kTextAddressBar);
    showToolbar = checkBox(page, "Check4", kTextToolbar);
    allowPagesOpenWindows = checkBox(page, "Check8", kTextPagesOpenWindows);
    allowWindowsBehind = checkBox(page, "Check9", kTextWindowsInBack);
    allowPagesResize = checkBox(page, "Check10", kTextPagesResize);
    allowWindowReference = checkBox(page, "Check11", kTextWindowReference);
    popupBlocker = checkBox(page, "Check12", kTextPopupBlocker);
    for (QCheckBox* check : {showAddressBar, showToolbar, allowPagesOpenWindows, allowWindowsBehind,
                             allowPagesResize, allowWindowReference, popupBlocker})
        box->addWidget(check);
    box->addStretch(1);
    connect(allowPagesOpenWindows, &QCheckBox::clicked, this, &frmEinstell::Check8_Click);
    return page;
}

QWidget* frmEinstell::buildStartPage()
{
    auto* page = named(new QWidget, "Programmstart", Txt(kTextStart));
    auto* grid = new QGridLayout(page);
    int row = 0;
    grid->addWidget(label(page, Txt(kTextAfterStart)), row++, 0, 1, 3);
    startOpenBrowser = checkBox(page, "Check2", kTextOpenBrowser);
    grid->addWidget(startOpenBrowser, row++, 0, 1, 3);
    startOpenFolder = checkBox(page, "Check6", kTextOpenFolder);
    startFolder = named(new QComboBox(page), "ImageCombo1", Txt(kTextOpenFolder));
    grid->addWidget(startOpenFolder, row, 0);
    grid->addWidget(startFolder, row++, 1, 1, 2);
    // A lone option: only the program clears it.
    startOpenLayout = radio(page, "Option3", kTextOpenLayout);
    startOpenLayout->setAutoExclusive(false);
    startLayoutFile = lineEdit(page, "Text16", Txt(kTextOpenLayout), kUrlLength);
    pickLayoutFile = named(new QPushButton(Txt(kTextBrowse), page), "LayoutSearch_Btn",
                           Txt(kTextBrowse) + QLatin1Char(' ') + Txt(kTextOpenLayout));
    pickLayoutFile->setAutoDefault(false);
    grid->addWidget(startOpenLayout, row, 0);
    grid->addWidget(startLayoutFile, row, 1);
    grid->addWidget(pickLayoutFile, row++, 2);
    grid->setRowStretch(row, 1);

    connect(startOpenBrowser, &QCheckBox::clicked, this, &frmEinstell::Check2_Click);
    connect(startOpenFolder, &QCheckBox::clicked, this, &frmEinstell::Check6_Click);
    connect(startOpenLayout, &QRadioButton::clicked, this, &frmEinstell::Option3_Click);
    connect(startFolder, &QComboBox::currentIndexChanged, this, &frmEinstell::ImageCombo1_Change);
    connect(pickLayoutFile, &QPushButton::clicked, this, [this] {
        pickFile(kTextPickLayout, Txt(kTextLayoutFile) + QStringLiteral(" (*.wlt)"),
                 startLayoutFile);
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
        mailAccountEnabled[i] =
            named(new QCheckBox(Txt(kTextActivate), page), "", Txt(kTextActivate) + n);
        mailAccountEnabled[i]->setObjectName(QStringLiteral("CheckM%1").arg(i + 1));
        mailServer[i] = lineEdit(page, "", Txt(kTextServer) + n, kAccountLength);
        mailServer[i]->setObjectName(QStringLiteral("TextSrv%1").arg(i + 1));
        mailUser[i] = lineEdit(page, "", Txt(kTextUser) + n, kAccountLength);
        mailUser[i]->setObjectName(QStringLiteral("TextUsr%1").arg(i + 1));
        mailPassword[i] = lineEdit(page, "", Txt(kTextPassword) + n, kAccountLength);
        mailPassword[i]->setObjectName(QStringLiteral("TextPwd%1").arg(i + 1));
        mailPassword[i]->setEchoMode(QLineEdit::Password);
        grid->addWidget(mailAccountEnabled[i], row, 0);
        grid->addWidget(mailServer[i], row, 1);
        grid->addWidget(mailUser[i], row, 2);
        grid->addWidget(mailPassword[i], row, 3);
        mailCertificate[i] =
            named(new QPushButton(kCheckCertificate, page), "", kCheckCertificate + n);
        mailCertificate[i]->setObjectName(QStringLiteral("CertM%1").arg(i + 1));
        mailCertificate[i]->setAutoDefault(false);
        grid->addWidget(mailCertificate[i], row, 4);
        connect(mailAccountEnabled[i], &QCheckBox::clicked, this, [this, i] { CheckM_Click(i); });
        connect(mailCertificate[i], &QPushButton::clicked, this,
                [this, i] { CheckCertificate(i); });
    }
    checkInterval = named(new QComboBox(page), "Combo2", Txt(kTextCheckEvery));
    for (int m = kIntervalMin; m <= kIntervalMax; ++m)
        checkInterval->addItem(QString::number(m));
    auto* interval = new QHBoxLayout;
    interval->addWidget(label(page, Txt(kTextCheckEvery)));
    interval->addWidget(checkInterval);
    interval->addWidget(label(page, Txt(kTextMinutes)));
    interval->addStretch(1);
    grid->addLayout(interval, AccountCount + 1, 0, 1, 5);
    grid->setRowStretch(AccountCount + 2, 1);

    connect(pickSearchFormFile, &QPushButton::clicked, this, [this] {
        pickFile(kTextPickSearchForm, Txt(kTextHtmlFile) + QStringLiteral(" (*.htm *.html)"),
                 searchFormFile);
    });
    connect(pickMailApplication, &QPushButton::clicked, this, [this] {
        // Linux programs carry no extension: every file is offered.
        pickFile(kTextPickMailApp, Txt(kTextApplication) + QStringLiteral(" (*)"), mailApplication);
    });
    return page;
}

void frmEinstell::fillFromPreferences()
{
    startAddress->setText(m_prefer.HomeUrl());
    searchEngine->setText(m_prefer.SearchEngine());
    mailApplication->setText(m_prefer.MailClient());
    searchFormFile->setText(m_prefer.SearchEngineFile());
    historyRows->setCurrentIndex(historyIndex(m_prefer.HistoryRows()));
    showStatusBar->setChecked(m_prefer.StatusBar() != 0);
    showRegisterRow->setChecked(m_prefer.TabStrip());
    tabsAsButtons->setChecked(m_prefer.TabButton());
    tabsAsTabs->setChecked(!m_prefer.TabButton());
    tabsAtTop->setChecked(m_prefer.TabAlign() == kAlignTop);
    tabsAtBottom->setChecked(m_prefer.TabAlign() != kAlignTop);
    boldTabFont->setChecked(m_prefer.TabFontBold() != 0);

    showAddressBar->setChecked(m_prefer.Adresszeile());
    showToolbar->setChecked(m_prefer.Toolbar());
    allowPagesOpenWindows->setChecked(m_prefer.AllowOpenWin());
    allowWindowsBehind->setChecked(m_prefer.AllowWinInBack());
    allowPagesResize->setChecked(m_prefer.AllowResizeWin());
    allowWindowReference->setChecked(m_prefer.AllowWinRef());
    popupBlocker->setChecked(m_prefer.IEPopupBlocker());
    // The engine's own pop-up blocker cannot be chosen on this system.
    popupBlocker->setEnabled(false);
    Check8_Click();

    startOpenBrowser->setChecked(m_prefer.StartBrowser());
    constexpr int kLoadLayout = 2;
    constexpr int kLoadFolder = 3;
    startOpenFolder->setChecked(m_prefer.LoadOption() == kLoadFolder);
    startFolder->setEnabled(startOpenFolder->isChecked());
    if (startOpenFolder->isChecked())
        FillCombo();
    startOpenLayout->setChecked(m_prefer.LoadOption() == kLoadLayout);
    // The stored file name keeps the padding of its field.
    startLayoutFile->setText(startOpenLayout->isChecked() ? m_prefer.Layout().trimmed()
                                                          : QString());
    startLayoutFile->setEnabled(startOpenLayout->isChecked());
    pickLayoutFile->setEnabled(startOpenLayout->isChecked());

    for (int i = 0; i < AccountCount; ++i) {
        mailServer[i]->setText(m_prefer.MailSrv(i + 1));
        mailUser[i]->setText(m_prefer.User(i + 1));
        mailPassword[i]->setText(m_prefer.Pwd(i + 1));
        mailAccountEnabled[i]->setChecked(m_prefer.EnableMailCheck(i + 1));
    }
    checkInterval->setCurrentIndex(intervalIndex(m_prefer.CheckIntervall()));
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
    const QSignalBlocker blocker(startFolder);
    startFolder->clear();
    Book book(m_bookFolder);
    const QIcon& folderIcon = TreeImage(TreeImageKind::Folder);
    startFolder->addItem(TreeImage(TreeImageKind::Archive), kArchivRoot, kArchivRootKey);
    int selected = -1;
    if (book.LoadAllThema() && book.colThema()) {
        for (const Thema& thema : *book.colThema()) {
            // Folders are shown indented under the archive.
            startFolder->addItem(folderIcon, thema.DirName(), folderKey(thema.Nr()));
            if (selected < 0 && thema.DirName() == m_prefer.Group().trimmed())
                selected = startFolder->count() - 1;
        }
    }
    startFolder->setCurrentIndex(selected);
    m_comboFilled = true;
    // The stored file name follows the folder found by its name.
    if (selected >= 0)
        ImageCombo1_Change();
    QApplication::restoreOverrideCursor();
}

void frmEinstell::CheckActivate()
{
    for (int i = 0; i < AccountCount; ++i) {
        const bool on = mailAccountEnabled[i]->isChecked();
        mailServer[i]->setEnabled(on);
        mailUser[i]->setEnabled(on);
        mailPassword[i]->setEnabled(on);
    }
}

void frmEinstell::Check2_Click()
{
    startOpenLayout->setChecked(false);
    startLayoutFile->setEnabled(false);
    pickLayoutFile->setEnabled(false);
}

void frmEinstell::Check6_Click()
{
    startOpenLayout->setChecked(false);
    startLayoutFile->setEnabled(false);
    pickLayoutFile->setEnabled(false);
    if (startOpenFolder->isChecked()) {
        startFolder->setEnabled(true);
        FillCombo();
    } else {
        const QSignalBlocker blocker(startFolder);
        startFolder->clear();
        startFolder->setEnabled(false);
    }
}

void frmEinstell::Option3_Click()
{
    startOpenLayout->setChecked(true);
    startOpenFolder->setChecked(false);
    startFolder->setEnabled(false);
    startLayoutFile->setEnabled(true);
    pickLayoutFile->setEnabled(true);
}

void frmEinstell::Check8_Click()
{
    const bool on = allowPagesOpenWindows->isChecked();
    allowWindowsBehind->setEnabled(on);
    allowPagesResize->setEnabled(on);
    allowWindowReference->setEnabled(on);
}

void frmEinstell::CheckM_Click(int index)
{
    CheckActivate();
    if (mailAccountEnabled[index]->isChecked() && mailServer[index]->text().isEmpty())
        mailServer[index]->setFocus();
}

void frmEinstell::ImageCombo1_Change()
{
    if (!startFolder->isEnabled() || startFolder->count() == 0)
        return;
    m_groupFile = m_colGrpFileName.value(startFolder->currentData(kKeyRole).toString());
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
        if (!mailAccountEnabled[i]->isChecked())
            continue;
        QLineEdit* empty = nullptr;
        if (mailServer[i]->text().trimmed().isEmpty())
            empty = mailServer[i];
        else if (mailUser[i]->text().isEmpty())
            empty = mailUser[i];
        else if (mailPassword[i]->text().isEmpty())
            empty = mailPassword[i];
        if (empty) {
            pages->setCurrentIndex(
                pages->indexOf(pages->findChild<QWidget*>(QStringLiteral("POP3"))));
            empty->setFocus();
            ShowMessage(Txt(kTextMeldung), Txt(kTextFieldEmpty), MsgIcon::Warning);
            return false;
        }
    }
    return true;
}

void frmEinstell::CheckCertificate(int index)
{
    const QString server = mailServer[index]->text().trimmed();
    if (server.isEmpty()) {
        mailServer[index]->setFocus();
        ShowMessage(Txt(kTextMeldung), Txt(kTextFieldEmpty), MsgIcon::Warning);
        return;
    }
    if (!m_probe) {
        m_probe = new Pop3Client(this);
        connect(m_probe, &Pop3Client::finished, this, &frmEinstell::certificateChecked,
                Qt::QueuedConnection);
    }
    for (QPushButton* button : mailCertificate)
        button->setEnabled(false);
    m_probedServer = server;
    m_probe->setTrustFile(TrustedCertificates::DefaultPath());
    m_probe->probe(server);
}

void frmEinstell::certificateChecked(const Pop3Result& result)
{
    for (QPushButton* button : mailCertificate)
        button->setEnabled(true);
    const QString title = QString(kCheckCertificate).remove(QStringLiteral("..."));
    const QString fingerprint = QStringLiteral("\n\nSHA-256-Fingerabdruck:\n") +
                                TrustedCertificates::DisplayFingerprint(result.fingerprint);
    if (result.outcome == Pop3Outcome::Checked) {
        const QString text =
            result.encrypted
                ? QStringLiteral("Die Verbindung zu „%1“ ist verschlüsselt (TLS), das Zertifikat "
                                 "wird angenommen%2.")
                          .arg(m_probedServer,
                               result.trustedByUser
                                   ? QStringLiteral(" (ihm wird hier ausdrücklich vertraut)")
                                   : QString()) +
                      fingerprint
                : QStringLiteral("Der Mail-Server „%1“ bietet keine Verschlüsselung (TLS) an; es "
                                 "gibt kein Zertifikat zu prüfen.")
                      .arg(m_probedServer);
        ShowMessage(title, text, MsgIcon::Information);
        return;
    }
    const QString problem = MailCheck::ProblemText(result, m_probedServer);
    const bool trustable = (result.problem == Pop3Problem::Certificate ||
                            result.problem == Pop3Problem::CertificateChanged) &&
                           !result.fingerprint.isEmpty();
    if (!trustable) {
        ShowMessage(title, problem, MsgIcon::Warning);
        return;
    }
    const Pop3Endpoint endpoint = ParsePop3Server(m_probedServer);
    const QString key = TrustedCertificates::Key(endpoint.host, endpoint.port);
    const QString question =
        problem + fingerprint +
        QStringLiteral("\n\nDiesem Zertifikat für „%1“ vertrauen? Es wird dann bei jeder "
                       "Verbindung verglichen; ein anderes Zertifikat wird abgelehnt.")
            .arg(key);
    if (ShowMessage(title, question, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No) !=
        MsgAnswer::Yes)
        return;
    TrustedCertificates store;
    const QString path = TrustedCertificates::DefaultPath();
    FileResult saved = store.load(path);
    if (saved.ok) {
        store.trust(endpoint.host, endpoint.port, result.fingerprint);
        saved = store.save(path);
    }
    if (!saved.ok)
        ShowMessage(title, saved.error, MsgIcon::Critical);
}

void frmEinstell::storeStartOptions()
{
    constexpr int kLoadNone = 0;
    constexpr int kLoadBrowser = 1;
    constexpr int kLoadLayout = 2;
    constexpr int kLoadFolder = 3;
    if (startOpenBrowser->isChecked())
        m_prefer.setLoadOption(kLoadBrowser);
    if (m_comboFilled) {
        if (startOpenFolder->isChecked() && !startFolder->currentText().isEmpty()) {
            m_prefer.setLoadOption(kLoadFolder);
            m_prefer.setGroup(startFolder->currentText());
            m_prefer.setGroupFile(m_groupFile);
        } else {
            m_prefer.setGroup(QString());
            startOpenFolder->setChecked(false);
        }
    } else if (startOpenFolder->isChecked()) {
        m_prefer.setLoadOption(kLoadFolder);
    }
    if (startOpenLayout->isChecked() && !startLayoutFile->text().isEmpty()) {
        m_prefer.setLoadOption(kLoadLayout);
        m_prefer.setLayout(startLayoutFile->text());
    } else {
        m_prefer.setLayout(QString());
        startOpenLayout->setChecked(false);
    }
    if (!startOpenFolder->isChecked() && !startOpenBrowser->isChecked() &&
        !startOpenLayout->isChecked())
        m_prefer.setLoadOption(kLoadNone);
}

void frmEinstell::Save_Click()
{
    if (!ValidateForm())
        return;
    m_prefer.setHomeUrl(startAddress->text());
    m_prefer.setSearchEngine(searchEngine->text());
    m_prefer.setMailClient(mailApplication->text());
    m_prefer.setSearchEngineFile(searchFormFile->text());
    m_prefer.setHistoryRows(historyRows->currentText().toInt());
    m_prefer.setStatusBar(showStatusBar->isChecked() ? 1 : 0);
    m_prefer.setTabStrip(showRegisterRow->isChecked());
    m_prefer.setTabButton(tabsAsButtons->isChecked());
    m_prefer.setTabAlign(tabsAtTop->isChecked() ? kAlignTop : kAlignBottom);
    m_prefer.setTabFontBold(boldTabFont->isChecked() ? 1 : 0);
    m_prefer.setAdresszeile(showAddressBar->isChecked());
    m_prefer.setToolbar(showToolbar->isChecked());
    m_prefer.setAllowOpenWin(allowPagesOpenWindows->isChecked());
    m_prefer.setAllowWinInBack(allowWindowsBehind->isChecked());
    m_prefer.setAllowResizeWin(allowPagesResize->isChecked());
    m_prefer.setAllowWinRef(allowWindowReference->isChecked());
    m_prefer.setIEPopupBlocker(popupBlocker->isChecked());
    m_prefer.setStartBrowser(startOpenBrowser->isChecked());
    for (int i = 0; i < AccountCount; ++i) {
        m_prefer.setMailSrv(i + 1, mailServer[i]->text());
        m_prefer.setUser(i + 1, mailUser[i]->text());
        m_prefer.setPwd(i + 1, mailPassword[i]->text());
        m_prefer.setEnableMailCheck(i + 1, mailAccountEnabled[i]->isChecked());
    }
    m_prefer.setCheckIntervall(checkInterval->currentText().toInt());
    storeStartOptions();
    const FileResult saved = m_prefer.SavePref();
    if (!saved.ok)
        ShowMessage(Txt(kTextFehlermeldung), saved.error, MsgIcon::Critical);
    accept();
}

void frmEinstell::Standard_Click()
{
    startAddress->setText(ProductPageUrl());
    searchEngine->setText(Txt(kTextDefaultSearchEngine));
    mailApplication->clear();
    // The shipped search form of the program folder, as a new preference
    // file has it.
    searchFormFile->setText(AppFolder() + QLatin1Char('/') + Txt(kTextSearchFormFile));
    historyRows->setCurrentIndex(historyIndex(kHistoryDefault));
    showStatusBar->setChecked(true);
    startOpenBrowser->setChecked(true);
    Check2_Click();
    showAddressBar->setChecked(true);
    showToolbar->setChecked(true);
    showRegisterRow->setChecked(false);
    checkInterval->setCurrentIndex(intervalIndex(kIntervalDefault));
    for (QCheckBox* check : mailAccountEnabled)
        check->setChecked(false);
    CheckActivate();
    tabsAsTabs->setChecked(true);
    boldTabFont->setChecked(false);
    allowPagesOpenWindows->setChecked(true);
    Check8_Click();
    allowWindowsBehind->setChecked(false);
    allowPagesResize->setChecked(true);
    allowWindowReference->setChecked(false);
}

} // namespace orv
