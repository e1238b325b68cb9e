#pragma once

#include "app/docsnapshot.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace orv {

// One search form of a search form file, as the header before it describes
// it: the N-th header (H1..H6) of the page stands for the N-th form.
struct SearchForm {
    QString name;   // the header's text; from its first "<" on when it has one
    QString group;  // the header's id, trimmed
    int number = 0; // 1-based position among the headers

    bool operator==(const SearchForm&) const = default;
};

// The search forms a search form file's document describes, in document
// order; none for an invalid snapshot.
QList<SearchForm> ReadSearchForms(const DocSnapshot& document);

// The groups to offer: each non-empty group once (letter case ignored, the
// first spelling kept), in ascending order.
QStringList SearchGroups(const QList<SearchForm>& forms);

// The forms of a group (exactly that spelling); all of them for an empty
// group.
QList<SearchForm> FilterSearchForms(const QList<SearchForm>& forms, const QString& group);

// The placeholder a form carries where the search term belongs.
inline QString SearchPlaceholder()
{
    return QStringLiteral("%Orvane%");
}

// The one-form page submitted for a search: the form's markup with every
// placeholder replaced by the term. Inside an attribute value the term
// becomes the whole value (escaped as the attribute needs, so the field
// holds the term exactly); elsewhere it is put between double quotes.
QString SearchFormPage(const QString& formHtml, const QString& term);

// A search form file must be an HTML page: its address ends in "htm" or
// "html" (any letter case).
bool IsHtmlAddress(const QString& address);

} // namespace orv
