#pragma once

#include "app/recordfields.h"
#include "app/recordio.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <optional>

namespace orv {

// All user settings of the program, stored as one fixed-size record in the
// file "Pref.orp" of the data folder. Setters do not validate; the record
// layout is one table (see prefer.cpp) so that existing files keep loading.
//
// Integer properties are held as int; the file holds 16-bit integers, so
// values outside -32768..32767 are stored clamped to that range.
class Prefer {
public:
    static constexpr int RecordLength = 15574;
    static constexpr int MailAccountCount = 4;
    static constexpr int PwdFieldWidth = 200;

    enum class LoadOutcome {
        Loaded,          // the record was valid and is now in the properties
        ResetToDefaults, // missing, empty, short or invalid: defaults set and written back
        OldFormat,       // a password field of an older layout: message shown, end the program
        ReadFailed,      // the file exists but cannot be read: defaults set, file left alone
    };
    struct LoadResult {
        LoadOutcome outcome = LoadOutcome::Loaded;
        // ResetToDefaults: the result of writing the defaults back.
        // ReadFailed: the read error. Otherwise ok.
        FileResult file;
    };
    enum class RecordCheck { Valid, Invalid, OldFormat };

    // Starts with the defaults; the file lives in DataFolder() unless
    // setFolder() names another folder.
    Prefer();

    void setFolder(const QString& folder) { m_folder = folder; }
    QString Folder() const;
    QString FilePath() const;
    static QString FileName();

    // Fills the properties from the file, or writes the defaults (see
    // LoadOutcome). The old-format message is shown here; the caller ends the
    // program without saving.
    LoadResult LoadPref();
    // Replaces the file atomically with the current properties; the file is
    // readable and writable by its owner only. On failure the old file stays.
    // After a load that could not read the file (ReadFailed) it refuses
    // with that error, so the defaults never replace unread settings.
    FileResult SavePref() const;
    // Stored paths into a program folder that no longer holds the file (the
    // build tree of a first start, an installation moved away) taken to the
    // same file in `appFolder`; other values stay. LoadPref does this.
    void FollowProgramFolder(const QString& appFolder);

    // The record as written to the file.
    QByteArray toRecord() const;
    // Takes a record (bytes beyond its end read as zero). Only Valid changes
    // the properties; OldFormat shows no message.
    RecordCheck fromRecord(QByteArrayView record);
    // The marker field of a record (-1 in every valid record).
    static qint16 RecordMarker(QByteArrayView record);
    // Every field of the record in the order the data tool shows them, as
    // the properties hold them (passwords in plain text).
    QList<FieldEntry> RecordEntries() const;
    void SetDefaults();

    // Stored form of a password (without the field's padding): always fits
    // the 200-byte field and always reads back through DecodePwd.
    static QString EncodePwd(const QString& pwd);
    // The password of a stored (trimmed) field; nullopt for a field that no
    // version of this writer produced (an older file layout).
    static std::optional<QString> DecodePwd(const QString& stored);

    // Properties.
    const QString& HomeUrl() const { return m_v.homeUrl; }
    void setHomeUrl(const QString& v) { m_v.homeUrl = v; }
    const QString& HomeTitle() const { return m_v.homeTitle; }
    void setHomeTitle(const QString& v) { m_v.homeTitle = v; }
    const QString& SearchEngine() const { return m_v.searchEngine; }
    void setSearchEngine(const QString& v) { m_v.searchEngine = v; }
    const QString& SearchEngineFile() const { return m_v.searchEngineFile; }
    void setSearchEngineFile(const QString& v) { m_v.searchEngineFile = v; }
    const QString& MailClient() const { return m_v.mailClient; }
    void setMailClient(const QString& v) { m_v.mailClient = v; }
    bool StartBrowser() const { return m_v.startBrowser; }
    void setStartBrowser(bool v) { m_v.startBrowser = v; }
    int StatusBar() const { return m_v.statusBar; }
    void setStatusBar(int v) { m_v.statusBar = v; }
    bool TabStrip() const { return m_v.tabStrip; }
    void setTabStrip(bool v) { m_v.tabStrip = v; }
    bool Toolbar() const { return m_v.toolbar; }
    void setToolbar(bool v) { m_v.toolbar = v; }
    bool Adresszeile() const { return m_v.adresszeile; }
    void setAdresszeile(bool v) { m_v.adresszeile = v; }
    int MdiWidth() const { return m_v.mdiWidth; }
    void setMdiWidth(int v) { m_v.mdiWidth = v; }
    int MdiHeight() const { return m_v.mdiHeight; }
    void setMdiHeight(int v) { m_v.mdiHeight = v; }
    int MdiState() const { return m_v.mdiState; }
    void setMdiState(int v) { m_v.mdiState = v; }
    int HistoryRows() const { return m_v.historyRows; }
    void setHistoryRows(int v) { m_v.historyRows = v; }
    int LoadOption() const { return m_v.loadOption; }
    void setLoadOption(int v) { m_v.loadOption = v; }
    const QString& Group() const { return m_v.group; }
    void setGroup(const QString& v) { m_v.group = v; }
    const QString& GroupFile() const { return m_v.groupFile; }
    void setGroupFile(const QString& v) { m_v.groupFile = v; }
    const QString& Layout() const { return m_v.layout; }
    void setLayout(const QString& v) { m_v.layout = v; }
    int CheckIntervall() const { return m_v.checkIntervall; }
    void setCheckIntervall(int v) { m_v.checkIntervall = v; }
    bool TabButton() const { return m_v.tabButton; }
    void setTabButton(bool v) { m_v.tabButton = v; }
    int TabFontBold() const { return m_v.tabFontBold; }
    void setTabFontBold(int v) { m_v.tabFontBold = v; }
    int TabAlign() const { return m_v.tabAlign; }
    void setTabAlign(int v) { m_v.tabAlign = v; }
    bool AllowOpenWin() const { return m_v.allowOpenWin; }
    void setAllowOpenWin(bool v) { m_v.allowOpenWin = v; }
    bool AllowResizeWin() const { return m_v.allowResizeWin; }
    void setAllowResizeWin(bool v) { m_v.allowResizeWin = v; }
    bool AllowWinInBack() const { return m_v.allowWinInBack; }
    void setAllowWinInBack(bool v) { m_v.allowWinInBack = v; }
    bool AllowWinRef() const { return m_v.allowWinRef; }
    void setAllowWinRef(bool v) { m_v.allowWinRef = v; }
    bool IEPopupBlocker() const { return m_v.iePopupBlocker; }
    void setIEPopupBlocker(bool v) { m_v.iePopupBlocker = v; }

    // Mail accounts 1..4. An index outside 1..4 reads as empty/false and is
    // ignored on setting.
    QString MailSrv(int i) const;
    void setMailSrv(int i, const QString& v);
    QString User(int i) const;
    void setUser(int i, const QString& v);
    QString Pwd(int i) const;
    void setPwd(int i, const QString& v);
    bool EnableMailCheck(int i) const;
    void setEnableMailCheck(int i, bool v);

    QString MailSrv1() const { return MailSrv(1); }
    void setMailSrv1(const QString& v) { setMailSrv(1, v); }
    QString MailSrv2() const { return MailSrv(2); }
    void setMailSrv2(const QString& v) { setMailSrv(2, v); }
    QString MailSrv3() const { return MailSrv(3); }
    void setMailSrv3(const QString& v) { setMailSrv(3, v); }
    QString MailSrv4() const { return MailSrv(4); }
    void setMailSrv4(const QString& v) { setMailSrv(4, v); }
    QString User1() const { return User(1); }
    void setUser1(const QString& v) { setUser(1, v); }
    QString User2() const { return User(2); }
    void setUser2(const QString& v) { setUser(2, v); }
    QString User3() const { return User(3); }
    void setUser3(const QString& v) { setUser(3, v); }
    QString User4() const { return User(4); }
    void setUser4(const QString& v) { setUser(4, v); }
    QString Pwd1() const { return Pwd(1); }
    void setPwd1(const QString& v) { setPwd(1, v); }
    QString Pwd2() const { return Pwd(2); }
    void setPwd2(const QString& v) { setPwd(2, v); }
    QString Pwd3() const { return Pwd(3); }
    void setPwd3(const QString& v) { setPwd(3, v); }
    QString Pwd4() const { return Pwd(4); }
    void setPwd4(const QString& v) { setPwd(4, v); }
    bool EnableMailCheck1() const { return EnableMailCheck(1); }
    void setEnableMailCheck1(bool v) { setEnableMailCheck(1, v); }
    bool EnableMailCheck2() const { return EnableMailCheck(2); }
    void setEnableMailCheck2(bool v) { setEnableMailCheck(2, v); }
    bool EnableMailCheck3() const { return EnableMailCheck(3); }
    void setEnableMailCheck3(bool v) { setEnableMailCheck(3, v); }
    bool EnableMailCheck4() const { return EnableMailCheck(4); }
    void setEnableMailCheck4(bool v) { setEnableMailCheck(4, v); }

private:
    struct MailAccount {
        QString server;
        QString user;
        QString pwd;
        bool enableCheck = false;
    };
    // Every property; the initializers are the defaults except for the texts
    // that depend on the program folder and the text table (SetDefaults).
    struct Values {
        QString homeUrl;
        QString homeTitle;
        QString searchEngine;
        QString searchEngineFile;
        QString mailClient;
        bool startBrowser = true;
        int statusBar = 1;
        bool tabStrip = true;
        bool toolbar = true;
        bool adresszeile = true;
        int mdiWidth = 10485;
        int mdiHeight = 7470;
        int mdiState = 0;
        int historyRows = 50;
        int loadOption = 1;
        QString group;
        QString groupFile;
        QString layout;
        std::array<MailAccount, MailAccountCount> mail;
        int checkIntervall = 5;
        bool tabButton = true;
        int tabFontBold = 0;
        int tabAlign = 1;
        bool allowOpenWin = true;
        bool allowResizeWin = true;
        bool allowWinInBack = false;
        bool allowWinRef = false;
        bool iePopupBlocker = true;
    };
    friend struct PreferRecordLayout;
    static bool validAccount(int i) { return i >= 1 && i <= MailAccountCount; }

    QString m_folder;
    Values m_v;
    // The error of a load that could not read an existing file: until a
    // load reads it, SavePref refuses (the file is never saved over).
    FileResult m_unread;
};

} // namespace orv
