#pragma once

#include "app/docsnapshot.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

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

// Where a search form sends its search: its action resolved against the
// address of the search form file; an empty address unless that is an http
// or https address (a form that leads to a local file, a script or a page of
// the program's own is never sent).
QUrl SearchFormTarget(const QString& formHtml, const QUrl& fileUrl);

// The one-form page submitted for a search: the form's markup with every
// placeholder replaced by the term. Inside an attribute value the term
// takes the placeholder's place (escaped as the attribute needs, so the
// field holds the term exactly); elsewhere it is put between double quotes.
// The form goes to `target`. The forms are data: nothing of the file's
// markup runs in the page (no script, frame, object, META, BASE or LINK
// element, no event handler, no script address), and the page's policy
// forbids scripts and sends forms only to http and https addresses.
QString SearchFormPage(const QString& formHtml, const QString& term, const QUrl& target);

// A search form file must be an HTML page: its address ends in "htm" or
// "html" (any letter case).
bool IsHtmlAddress(const QString& address);

} // namespace orv
