#include "prefs/prefer.h"

#include "app/appinit.h"
#include "app/dialogseam.h"
#include "app/texts.h"

#include <QFile>
#include <QStringDecoder>

namespace orv {
namespace {

// The record of Pref.orp (15574 bytes, one record at offset 0). Integers are
// 16-bit little-endian, Booleans 16-bit (-1/0), texts CP1252 blank-padded.
constexpr int kMarker = 0; // always -1; bytes 2..9 are reserved (zero)
constexpr int kStartBrowser = 10;
constexpr int kHistoryRows = 12;
constexpr int kMdiWidth = 14;
constexpr int kMdiHeight = 16;
constexpr int kMdiState = 18;
constexpr int kStatusBar = 20;
constexpr int kHomeUrl = 22;
constexpr int kSearchEngine = 2105;
constexpr int kMailClient = 4188;
constexpr int kToolbar = 6271;
constexpr int kAdresszeile = 6273;
constexpr int kTabStrip = 6275;
constexpr int kLoadOption = 6277;
constexpr int kGroup = 6279;
constexpr int kGroupFile = 6479;
constexpr int kLayout = 8562;
constexpr int kMailBlocks = 10645; // four blocks of 702 bytes
constexpr int kCheckIntervall = 13453;
constexpr int kTabButton = 13455;
constexpr int kTabFontBold = 13457;
constexpr int kTabAlign = 13459;
constexpr int kAllowOpenWin = 13461;
constexpr int kAllowResizeWin = 13463;
constexpr int kAllowWinInBack = 13465;
constexpr int kAllowWinRef = 13467;
constexpr int kSearchEngineFile = 13469;
constexpr int kHomeTitle = 15552;
constexpr int kIEPopupBlocker = 15572;

constexpr int kUrlWidth = 2083;
constexpr int kGroupWidth = 200;
constexpr int kTitleWidth = 20;

// One mail account block.
constexpr int kMailBlockLength = 702;
constexpr int kSrv = 0;
constexpr int kSrvWidth = 250;
constexpr int kUser = 250;
constexpr int kUserWidth = 250;
constexpr int kPwd = 500;
constexpr int kCheck = 700;

static_assert(kHomeUrl + kUrlWidth == kSearchEngine);
static_assert(kSearchEngine + kUrlWidth == kMailClient);
static_assert(kMailClient + kUrlWidth == kToolbar);
static_assert(kGroup + kGroupWidth == kGroupFile);
static_assert(kGroupFile + kUrlWidth == kLayout);
static_assert(kLayout + kUrlWidth == kMailBlocks);
static_assert(kPwd + Prefer::PwdFieldWidth == kCheck && kCheck + 2 == kMailBlockLength);
static_assert(kMailBlocks + Prefer::MailAccountCount * kMailBlockLength == kCheckIntervall);
static_assert(kSearchEngineFile + kUrlWidth == kHomeTitle);
static_assert(kHomeTitle + kTitleWidth == kIEPopupBlocker);
static_assert(kIEPopupBlocker + 2 == Prefer::RecordLength);

int mailBlock(int account)
{
    return kMailBlocks + (account - 1) * kMailBlockLength;
}

int clampInt16(int v)
{
    return qBound(-32768, v, 32767);
}

// Password stored forms.
//
// Plain form (as files have always held it): the CP1252 code of the 1st,
// 3rd, 5th ... character lowered by 15, of the 2nd, 4th ... raised by 15.
// It is used for every password that reads back exactly from it, which is
// nearly every password, so existing files keep their form.
//
// Escaped form, for the passwords the plain form cannot hold: a character
// outside CP1252, a code that would leave 0..255 (a 1st/3rd/... character
// below 15, a 2nd/4th/... character above 240), or a stored form beginning or
// ending with a blank, which reading trims (a "/" at the 1st/3rd/... place,
// code 17 at the 2nd/4th/...):
//     0xFF 0xFE, payload, 0xFF
// The payload is the UTF-8 of the password, its bytes shifted like the plain
// form but modulo 256 (so every character survives). The first byte 0xFF can
// never start a plain form (it would decode to code 270), and the closing
// 0xFF keeps trailing payload bytes from being trimmed as padding. Passwords
// longer than the field are cut, as every text field is: the plain form keeps
// 200 characters, the escaped form as many as fit in 197 UTF-8 bytes.
constexpr char kEscape0 = '\xFF';
constexpr char kEscape1 = '\xFE';
constexpr char kEscapeEnd = '\xFF';
constexpr int kShift = 15;

// Adds evenDelta to the bytes at even indexes and subtracts it at odd ones;
// nullopt when a code leaves 0..255.
std::optional<QByteArray> shiftPlain(QByteArrayView in, int evenDelta)
{
    QByteArray out(in.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < in.size(); ++i) {
        const int code = int(quint8(in[i])) + ((i % 2 == 0) ? evenDelta : -evenDelta);
        if (code < 0 || code > 255)
            return std::nullopt;
        out[i] = char(code);
    }
    return out;
}

QByteArray shiftWrapped(QByteArrayView in, int evenDelta)
{
    QByteArray out(in.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < in.size(); ++i) {
        const int code = int(quint8(in[i])) + ((i % 2 == 0) ? evenDelta : -evenDelta);
        out[i] = char((code + 256) % 256);
    }
    return out;
}

QByteArrayView trimBlanks(QByteArrayView b)
{
    qsizetype begin = 0;
    qsizetype end = b.size();
    while (begin < end && b[begin] == ' ')
        ++begin;
    while (end > begin && b[end - 1] == ' ')
        --end;
    return b.sliced(begin, end - begin);
}

// The plain form of pwd when it fits the field and reads back as pwd.
std::optional<QByteArray> plainForm(const QString& pwd)
{
    const QByteArray cp = toCp1252(pwd);
    if (cp.size() > Prefer::PwdFieldWidth)
        return std::nullopt;
    std::optional<QByteArray> stored = shiftPlain(cp, -kShift);
    if (!stored)
        return std::nullopt;
    const std::optional<QByteArray> back = shiftPlain(trimBlanks(*stored), kShift);
    if (!back || fromCp1252(*back) != pwd)
        return std::nullopt;
    return stored;
}

QByteArray escapedForm(const QString& pwd)
{
    QByteArray utf8 = pwd.toUtf8();
    const qsizetype room = Prefer::PwdFieldWidth - 3;
    if (utf8.size() > room) {
        qsizetype n = room;
        while (n > 0 && (quint8(utf8[n]) & 0xC0) == 0x80) // never split a character
            --n;
        utf8.truncate(n);
    }
    QByteArray out;
    out.reserve(utf8.size() + 3);
    out.append(kEscape0).append(kEscape1);
    out.append(shiftWrapped(utf8, -kShift));
    out.append(kEscapeEnd);
    return out;
}

std::optional<QString> readEscaped(QByteArrayView b)
{
    if (b.size() < 3 || b[0] != kEscape0 || b[1] != kEscape1 || b.back() != kEscapeEnd)
        return std::nullopt;
    const QByteArray utf8 = shiftWrapped(b.sliced(2, b.size() - 3), kShift);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    QString pwd = decoder.decode(utf8);
    if (decoder.hasError())
        return std::nullopt;
    return pwd;
}

} // namespace

Prefer::Prefer()
{
    SetDefaults();
}

QString Prefer::Folder() const
{
    return m_folder.isEmpty() ? DataFolder() : m_folder;
}

QString Prefer::FileName()
{
    return QStringLiteral("Pref.orp");
}

QString Prefer::FilePath() const
{
    return Folder() + QLatin1Char('/') + FileName();
}

void Prefer::SetDefaults()
{
    m_v = Values{};
    m_v.homeUrl = ProductPageUrl();
    m_v.searchEngine = Txt(100);
    m_v.searchEngineFile = AppFolder() + QLatin1Char('/') + Txt(1506);
}

QString Prefer::MailSrv(int i) const
{
    return validAccount(i) ? m_v.mail[size_t(i - 1)].server : QString();
}

void Prefer::setMailSrv(int i, const QString& v)
{
    if (validAccount(i))
        m_v.mail[size_t(i - 1)].server = v;
}

QString Prefer::User(int i) const
{
    return validAccount(i) ? m_v.mail[size_t(i - 1)].user : QString();
}

void Prefer::setUser(int i, const QString& v)
{
    if (validAccount(i))
        m_v.mail[size_t(i - 1)].user = v;
}

QString Prefer::Pwd(int i) const
{
    return validAccount(i) ? m_v.mail[size_t(i - 1)].pwd : QString();
}

void Prefer::setPwd(int i, const QString& v)
{
    if (validAccount(i))
        m_v.mail[size_t(i - 1)].pwd = v;
}

bool Prefer::EnableMailCheck(int i) const
{
    return validAccount(i) && m_v.mail[size_t(i - 1)].enableCheck;
}

void Prefer::setEnableMailCheck(int i, bool v)
{
    if (validAccount(i))
        m_v.mail[size_t(i - 1)].enableCheck = v;
}

QString Prefer::EncodePwd(const QString& pwd)
{
    if (std::optional<QByteArray> plain = plainForm(pwd))
        return fromCp1252(*plain);
    if (pwd.size() > PwdFieldWidth) {
        // Too long for the field: cut it like every text field, then try again.
        qsizetype n = PwdFieldWidth;
        if (pwd.at(n - 1).isHighSurrogate())
            --n;
        if (std::optional<QByteArray> plain = plainForm(pwd.left(n)))
            return fromCp1252(*plain);
    }
    return fromCp1252(escapedForm(pwd));
}

std::optional<QString> Prefer::DecodePwd(const QString& stored)
{
    const QByteArray bytes = toCp1252(stored);
    if (std::optional<QString> escaped = readEscaped(bytes))
        return escaped;
    const std::optional<QByteArray> plain = shiftPlain(bytes, kShift);
    if (!plain)
        return std::nullopt;
    return fromCp1252(*plain);
}

QByteArray Prefer::toRecord() const
{
    RecordWriter w(RecordLength);
    w.putInt16(kMarker, -1);
    w.putBool(kStartBrowser, m_v.startBrowser);
    w.putInt16(kHistoryRows, clampInt16(m_v.historyRows));
    w.putInt16(kMdiWidth, clampInt16(m_v.mdiWidth));
    w.putInt16(kMdiHeight, clampInt16(m_v.mdiHeight));
    w.putInt16(kMdiState, clampInt16(m_v.mdiState));
    w.putInt16(kStatusBar, clampInt16(m_v.statusBar));
    w.putText(kHomeUrl, kUrlWidth, m_v.homeUrl);
    w.putText(kSearchEngine, kUrlWidth, m_v.searchEngine);
    w.putText(kMailClient, kUrlWidth, m_v.mailClient);
    w.putBool(kToolbar, m_v.toolbar);
    w.putBool(kAdresszeile, m_v.adresszeile);
    w.putBool(kTabStrip, m_v.tabStrip);
    w.putInt16(kLoadOption, clampInt16(m_v.loadOption));
    w.putText(kGroup, kGroupWidth, m_v.group);
    w.putText(kGroupFile, kUrlWidth, m_v.groupFile);
    w.putText(kLayout, kUrlWidth, m_v.layout);
    for (int i = 1; i <= MailAccountCount; ++i) {
        const MailAccount& a = m_v.mail[size_t(i - 1)];
        const int block = mailBlock(i);
        w.putText(block + kSrv, kSrvWidth, a.server);
        w.putText(block + kUser, kUserWidth, a.user);
        w.putText(block + kPwd, PwdFieldWidth, EncodePwd(a.pwd));
        w.putBool(block + kCheck, a.enableCheck);
    }
    w.putInt16(kCheckIntervall, clampInt16(m_v.checkIntervall));
    w.putBool(kTabButton, m_v.tabButton);
    w.putInt16(kTabFontBold, clampInt16(m_v.tabFontBold));
    w.putInt16(kTabAlign, clampInt16(m_v.tabAlign));
    w.putBool(kAllowOpenWin, m_v.allowOpenWin);
    w.putBool(kAllowResizeWin, m_v.allowResizeWin);
    w.putBool(kAllowWinInBack, m_v.allowWinInBack);
    w.putBool(kAllowWinRef, m_v.allowWinRef);
    w.putText(kSearchEngineFile, kUrlWidth, m_v.searchEngineFile);
    w.putText(kHomeTitle, kTitleWidth, m_v.homeTitle);
    w.putBool(kIEPopupBlocker, m_v.iePopupBlocker);
    return w.data();
}

Prefer::RecordCheck Prefer::fromRecord(QByteArrayView record)
{
    const RecordReader r(record);
    if (r.int16(kMarker) != -1 || r.byte(kMailClient) == 0 || r.byte(kSearchEngineFile) == 0)
        return RecordCheck::Invalid;

    Values v;
    for (int i = 1; i <= MailAccountCount; ++i) {
        const int block = mailBlock(i);
        const std::optional<QString> pwd = DecodePwd(r.text(block + kPwd, PwdFieldWidth));
        if (!pwd)
            return RecordCheck::OldFormat;
        MailAccount& a = v.mail[size_t(i - 1)];
        a.server = r.text(block + kSrv, kSrvWidth);
        a.user = r.text(block + kUser, kUserWidth);
        a.pwd = *pwd;
        a.enableCheck = r.boolean(block + kCheck);
    }
    v.startBrowser = r.boolean(kStartBrowser);
    v.historyRows = r.int16(kHistoryRows);
    v.mdiWidth = r.int16(kMdiWidth);
    v.mdiHeight = r.int16(kMdiHeight);
    v.mdiState = r.int16(kMdiState);
    v.statusBar = r.int16(kStatusBar);
    v.homeUrl = r.text(kHomeUrl, kUrlWidth);
    v.searchEngine = r.text(kSearchEngine, kUrlWidth);
    v.mailClient = r.text(kMailClient, kUrlWidth);
    v.toolbar = r.boolean(kToolbar);
    v.adresszeile = r.boolean(kAdresszeile);
    v.tabStrip = r.boolean(kTabStrip);
    v.loadOption = r.int16(kLoadOption);
    // The start folder's name, file and the layout path keep their padding.
    v.group = r.rawText(kGroup, kGroupWidth);
    v.groupFile = r.rawText(kGroupFile, kUrlWidth);
    v.layout = r.rawText(kLayout, kUrlWidth);
    v.checkIntervall = r.int16(kCheckIntervall);
    v.tabButton = r.boolean(kTabButton);
    v.tabFontBold = r.int16(kTabFontBold);
    v.tabAlign = r.int16(kTabAlign);
    v.allowOpenWin = r.boolean(kAllowOpenWin);
    v.allowResizeWin = r.boolean(kAllowResizeWin);
    v.allowWinInBack = r.boolean(kAllowWinInBack);
    v.allowWinRef = r.boolean(kAllowWinRef);
    v.searchEngineFile = r.text(kSearchEngineFile, kUrlWidth);
    v.homeTitle = r.text(kHomeTitle, kTitleWidth);
    v.iePopupBlocker = r.boolean(kIEPopupBlocker);
    m_v = std::move(v);
    return RecordCheck::Valid;
}

Prefer::LoadResult Prefer::LoadPref()
{
    // Only the first record counts; a missing file reads as empty.
    QByteArray content;
    QFile file(FilePath());
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            SetDefaults();
            return {LoadOutcome::ReadFailed,
                    FileResult::failure(QStringLiteral("Datei kann nicht gelesen werden: ") +
                                        file.fileName() + QStringLiteral(" (") +
                                        file.errorString() + QStringLiteral(")"))};
        }
        content = file.read(RecordLength);
        if (file.error() != QFileDevice::NoError) {
            SetDefaults();
            return {LoadOutcome::ReadFailed,
                    FileResult::failure(QStringLiteral("Fehler beim Lesen der Datei: ") +
                                        file.fileName() + QStringLiteral(" (") +
                                        file.errorString() + QStringLiteral(")"))};
        }
    }

    switch (fromRecord(content)) {
    case RecordCheck::Valid:
        return {LoadOutcome::Loaded, {}};
    case RecordCheck::OldFormat:
        ShowMessage(Txt(1113), Txt(1141) + QStringLiteral(" \"") + Folder() + QLatin1Char('"'),
                    MsgIcon::Critical);
        return {LoadOutcome::OldFormat, {}};
    case RecordCheck::Invalid:
        break;
    }
    // The new file replaces the invalid one atomically, so a failed write
    // leaves the old file as it was.
    SetDefaults();
    return {LoadOutcome::ResetToDefaults, SavePref()};
}

FileResult Prefer::SavePref() const
{
    // The record holds the mail passwords: owner access only.
    return writeFileAtomic(FilePath(), toRecord(),
                           QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace orv
