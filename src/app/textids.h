#pragma once

// Names of the texts of the text table that the code uses for messages,
// titles and fixed addresses (Txt(kTextMeldung)). Menu captions are named
// by the item they label and keep their numbers next to the item's name.

namespace orv {

// Addresses and files.
inline constexpr int kTextSearchAddress = 100;    // the web search of "Search"
inline constexpr int kTextHelpPage = 102;         // the shipped help page
inline constexpr int kTextProgramFolderUrl = 104; // the program folder as an address
inline constexpr int kTextStartPagePath = 1111;   // start page below 104
inline constexpr int kTextSearchFormFile = 1506;  // "search.html"

// Message box titles.
inline constexpr int kTextMeldung = 1113;          // "Meldung"
inline constexpr int kTextFehlerbehandlung = 1114; // "Fehlerbehandlung"
inline constexpr int kTextFehlermeldung = 1129;    // "Fehlermeldung"

// Messages.
inline constexpr int kTextLimitBefore = 1108;   // "Es sind nur maximal "
inline constexpr int kTextLimitAfter = 1109;    // " gleichzeitig geöffnete Browser möglich !"
inline constexpr int kTextFileReadError = 1110; // "Fehler beim lesen der Datei !"
inline constexpr int kTextConfigureMail = 1123; // "Bitte konfigurieren Sie Ihre E-Mail Anwendung."
inline constexpr int kTextAppBefore = 1127;     // "Die Anwendung '"
inline constexpr int kTextAppNotFound = 1128;   // "' konnte nicht gefunden werden."
inline constexpr int kTextYouHaveMail = 1130;   // "Sie haben E-Mail !"
inline constexpr int kTextSearchingMail = 1131; // "Server wird nach E-Mail durchsucht..."
inline constexpr int kTextMailProblem = 1132;   // "Es gab Probleme beim Durchsuchen von E-Mail !"
inline constexpr int kTextOldPrefFormat = 1141; // preferences of the old format
inline constexpr int kTextFieldBefore = 1070;   // "Feld \""
inline constexpr int kTextFieldInvalid = 1071;  // "\" ist ungültig oder leer."

// Dialog titles and file types.
inline constexpr int kTextLoadLayout = 1124;     // "Anordnung laden..."
inline constexpr int kTextSaveLayout = 1125;     // "Anordnung speichern..."
inline constexpr int kTextLayoutFileType = 1126; // "Fensterlayout-Datei"

// Captions of windows.
inline constexpr int kTextPictureList = 1134;  // "Bilderliste"
inline constexpr int kTextInProgress = 1139;   // "In Bearbeitung..."
inline constexpr int kTextDocStructure = 1140; // "HTML Dokumentstruktur"
inline constexpr int kTextFindInPage = 1514;   // "Suche im Dokument"

// The secure lock's tool tips: kTextLockBase + level (1..6).
inline constexpr int kTextLockBase = 1399;

} // namespace orv
