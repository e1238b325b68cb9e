#include "prefs/prefer.h"

#include "app/appinit.h"
#include "app/dialogseam.h"
#include "app/recordfields.h"
#include "app/texts.h"

#include <QFile>
#include <QStringDecoder>
#include <QUrl>

#include <algorithm>

namespace orv {
namespace {

// Widths shared by several fields of the record.
constexpr int kUrlWidth = 2083;
constexpr int kGroupWidth = 200;
constexpr int kTitleWidth = 20;
// Bytes 2..9 of the record are reserved (zero).
constexpr int kReservedBytes = 8;

// The four mail accounts are blocks of 702 bytes from kMailBlocks on; the
// offsets of their fields count from the start of the block.
constexpr int kMailBlocks = 10645;
constexpr int kMailBlockLength = 702;
constexpr int kSrvWidth = 250;
constexpr int kUserWidth = 250;
constexpr int kSrv = 0;
constexpr int kUser = 250;
constexpr int kPwd = 500;
constexpr int kCheck = 700;

constexpr int mailField(int account, int offsetInBlock)
{
    return kMailBlocks + (account - 1) * kMailBlockLength + offsetInBlock;
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

// The record of Pref.orp: 15574 bytes, one record at offset 0. The fields are
// listed in the order the data tool shows them.
struct PreferRecordLayout {
    using V = Prefer::Values;
    using Mail = Prefer::MailAccount;
    static constexpr RecordField<V> Fields[] = {
        MarkerField<V>("Marker", 0, -1),
        TextField("HomeUrl", 22, kUrlWidth, FieldRef<&V::homeUrl>, FieldKind::Address),
        TextField("HomeTitle", 15552, kTitleWidth, FieldRef<&V::homeTitle>),
        TextField("SearchEngine", 2105, kUrlWidth, FieldRef<&V::searchEngine>, FieldKind::Address),
        TextField("SearchEngineFile", 13469, kUrlWidth, FieldRef<&V::searchEngineFile>),
        TextField("MailClient", 4188, kUrlWidth, FieldRef<&V::mailClient>),
        NumberField("StartBrowser", 10, FieldKind::Bool, FieldRef<&V::startBrowser>),
        NumberField("StatusBar", 20, FieldKind::Int16, FieldRef<&V::statusBar>),
        NumberField("TabStrip", 6275, FieldKind::Bool, FieldRef<&V::tabStrip>),
        NumberField("Toolbar", 6271, FieldKind::Bool, FieldRef<&V::toolbar>),
        NumberField("Adresszeile", 6273, FieldKind::Bool, FieldRef<&V::adresszeile>),
        NumberField("MdiWidth", 14, FieldKind::Int16, FieldRef<&V::mdiWidth>),
        NumberField("MdiHeight", 16, FieldKind::Int16, FieldRef<&V::mdiHeight>),
        NumberField("MdiState", 18, FieldKind::Int16, FieldRef<&V::mdiState>),
        NumberField("HistoryRows", 12, FieldKind::Int16, FieldRef<&V::historyRows>),
        NumberField("LoadOption", 6277, FieldKind::Int16, FieldRef<&V::loadOption>),
        // The start folder's name, file and the layout path keep their padding.
        TextField("Group", 6279, kGroupWidth, FieldRef<&V::group>, FieldKind::RawText),
        TextField("GroupFile", 6479, kUrlWidth, FieldRef<&V::groupFile>, FieldKind::RawText),
        TextField("Layout", 8562, kUrlWidth, FieldRef<&V::layout>, FieldKind::RawText),
        TextField("MailSrv1", mailField(1, kSrv), kSrvWidth,
                  ElementRef<&V::mail, 0, &Mail::server>),
        TextField("MailSrv2", mailField(2, kSrv), kSrvWidth,
                  ElementRef<&V::mail, 1, &Mail::server>),
        TextField("MailSrv3", mailField(3, kSrv), kSrvWidth,
                  ElementRef<&V::mail, 2, &Mail::server>),
        TextField("MailSrv4", mailField(4, kSrv), kSrvWidth,
                  ElementRef<&V::mail, 3, &Mail::server>),
        TextField("User1", mailField(1, kUser), kUserWidth, ElementRef<&V::mail, 0, &Mail::user>),
        TextField("User2", mailField(2, kUser), kUserWidth, ElementRef<&V::mail, 1, &Mail::user>),
        TextField("User3", mailField(3, kUser), kUserWidth, ElementRef<&V::mail, 2, &Mail::user>),
        TextField("User4", mailField(4, kUser), kUserWidth, ElementRef<&V::mail, 3, &Mail::user>),
        // The stored forms of the passwords (EncodePwd / DecodePwd).
        TextField("Pwd1", mailField(1, kPwd), Prefer::PwdFieldWidth,
                  ElementRef<&V::mail, 0, &Mail::pwd>, FieldKind::Text, FieldDump::OnRequest),
        TextField("Pwd2", mailField(2, kPwd), Prefer::PwdFieldWidth,
                  ElementRef<&V::mail, 1, &Mail::pwd>, FieldKind::Text, FieldDump::OnRequest),
        TextField("Pwd3", mailField(3, kPwd), Prefer::PwdFieldWidth,
                  ElementRef<&V::mail, 2, &Mail::pwd>, FieldKind::Text, FieldDump::OnRequest),
        TextField("Pwd4", mailField(4, kPwd), Prefer::PwdFieldWidth,
                  ElementRef<&V::mail, 3, &Mail::pwd>, FieldKind::Text, FieldDump::OnRequest),
        NumberField("EnableMailCheck1", mailField(1, kCheck), FieldKind::Bool,
                    ElementRef<&V::mail, 0, &Mail::enableCheck>),
        NumberField("EnableMailCheck2", mailField(2, kCheck), FieldKind::Bool,
                    ElementRef<&V::mail, 1, &Mail::enableCheck>),
        NumberField("EnableMailCheck3", mailField(3, kCheck), FieldKind::Bool,
                    ElementRef<&V::mail, 2, &Mail::enableCheck>),
        NumberField("EnableMailCheck4", mailField(4, kCheck), FieldKind::Bool,
                    ElementRef<&V::mail, 3, &Mail::enableCheck>),
        NumberField("CheckIntervall", 13453, FieldKind::Int16, FieldRef<&V::checkIntervall>),
        NumberField("TabButton", 13455, FieldKind::Bool, FieldRef<&V::tabButton>),
        NumberField("TabFontBold", 13457, FieldKind::Int16, FieldRef<&V::tabFontBold>),
        NumberField("TabAlign", 13459, FieldKind::Int16, FieldRef<&V::tabAlign>),
        NumberField("AllowOpenWin", 13461, FieldKind::Bool, FieldRef<&V::allowOpenWin>),
        NumberField("AllowResizeWin", 13463, FieldKind::Bool, FieldRef<&V::allowResizeWin>),
        NumberField("AllowWinInBack", 13465, FieldKind::Bool, FieldRef<&V::allowWinInBack>),
        NumberField("AllowWinRef", 13467, FieldKind::Bool, FieldRef<&V::allowWinRef>),
        NumberField("IEPopupBlocker", 15572, FieldKind::Bool, FieldRef<&V::iePopupBlocker>),
    };
    static constexpr std::span<const RecordField<V>> fields() { return Fields; }

    // A record is taken only with its marker and with MailClient and
    // SearchEngineFile not starting with a NUL byte. Leading blanks do not
    // count: they are trimmed on reading, so a NUL behind them would be the
    // first byte once the record is written again.
    static constexpr const RecordField<V>& marker() { return FieldNamed(fields(), "Marker"); }
    static constexpr int mailClientAt() { return FieldNamed(fields(), "MailClient").offset; }
    static constexpr int searchEngineFileAt()
    {
        return FieldNamed(fields(), "SearchEngineFile").offset;
    }
};
static_assert(FieldsAreSound(PreferRecordLayout::fields(), Prefer::RecordLength));
static_assert(FieldBytes(PreferRecordLayout::fields()) + kReservedBytes == Prefer::RecordLength);
static_assert(kPwd + Prefer::PwdFieldWidth == kCheck && kCheck + 2 == kMailBlockLength);

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
    Values stored = m_v;
    for (MailAccount& account : stored.mail)
        account.pwd = EncodePwd(account.pwd);
    RecordWriter w(RecordLength);
    WriteFields<PreferRecordLayout::Fields>(stored, w);
    return w.data();
}

qint16 Prefer::RecordMarker(QByteArrayView record)
{
    return RecordReader(record).int16(PreferRecordLayout::marker().offset);
}

namespace {

// The first byte of a text field that is no blank, as the field's text
// reads: 0 for a field that starts beyond the record's end, a blank for a
// field of blanks only (also when the record ends inside it).
quint8 firstTextByte(QByteArrayView record, int offset)
{
    if (offset >= record.size())
        return 0;
    const qsizetype end = std::min<qsizetype>(record.size(), offset + kUrlWidth);
    for (qsizetype i = offset; i < end; ++i) {
        if (record[i] != ' ')
            return quint8(record[i]);
    }
    return ' ';
}

} // namespace

Prefer::RecordCheck Prefer::fromRecord(QByteArrayView record)
{
    using Layout = PreferRecordLayout;
    if (RecordMarker(record) != Layout::marker().constant ||
        firstTextByte(record, Layout::mailClientAt()) == 0 ||
        firstTextByte(record, Layout::searchEngineFileAt()) == 0)
        return RecordCheck::Invalid;

    Values v;
    ReadFields<Layout::Fields>(record, v);
    for (MailAccount& account : v.mail) {
        const std::optional<QString> pwd = DecodePwd(account.pwd);
        if (!pwd)
            return RecordCheck::OldFormat;
        account.pwd = *pwd;
    }
    m_v = std::move(v);
    return RecordCheck::Valid;
}

QList<FieldEntry> Prefer::RecordEntries() const
{
    return FieldEntries(PreferRecordLayout::fields(), m_v);
}

Prefer::LoadResult Prefer::LoadPref()
{
    // Only the first record counts; a missing file reads as empty.
    QByteArray content;
    QFile file(FilePath());
    m_unread = {};
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            SetDefaults();
            m_unread = FileResult::failure(QStringLiteral("Datei kann nicht gelesen werden: ") +
                                           file.fileName() + QStringLiteral(" (") +
                                           file.errorString() + QStringLiteral(")"));
            return {LoadOutcome::ReadFailed, m_unread};
        }
        content = file.read(RecordLength);
        if (file.error() != QFileDevice::NoError) {
            SetDefaults();
            m_unread = FileResult::failure(QStringLiteral("Fehler beim Lesen der Datei: ") +
                                           file.fileName() + QStringLiteral(" (") +
                                           file.errorString() + QStringLiteral(")"));
            return {LoadOutcome::ReadFailed, m_unread};
        }
    }

    switch (fromRecord(content)) {
    case RecordCheck::Valid:
        FollowProgramFolder(AppFolder());
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
    if (!m_unread.ok)
        return FileResult::failure(QStringLiteral("Die Einstellungen konnten nicht gelesen "
                                                  "werden und werden nicht überschrieben.\n") +
                                   m_unread.error);
    // The record holds the mail passwords: owner access only.
    return writeFileAtomic(FilePath(), toRecord(),
                           QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void Prefer::FollowProgramFolder(const QString& appFolder)
{
    m_v.searchEngineFile = ProgramFileNow(m_v.searchEngineFile, appFolder);
    // The start page is an address: only a local file's is followed.
    const QUrl home(m_v.homeUrl.trimmed());
    if (home.isLocalFile()) {
        const QString path = ProgramFileNow(home.toLocalFile(), appFolder);
        if (path != home.toLocalFile()) {
            QUrl moved = QUrl::fromLocalFile(path);
            moved.setQuery(home.query());
            moved.setFragment(home.fragment());
            m_v.homeUrl = moved.toString();
        }
    }
}

} // namespace orv
