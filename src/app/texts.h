#pragma once

#include <QString>

namespace orv {

// The program's German text table: every user-visible text by its number.
// Texts keep their leading and trailing blanks and "&" access keys.

// Fills the table. appFolder is the folder of the shipped program files; the
// documentation and product addresses (texts 102 and 104) point into it so
// that the default start page works offline.
void LoadTexts(const QString& appFolder);

// The text with this number; an empty text for a number that is not in the
// table. Before LoadTexts only the fixed texts are known.
const QString& Txt(int number);

// Number of texts in the table (302 once loaded).
int TextCount();

} // namespace orv
