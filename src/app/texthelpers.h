#pragma once

#include <QString>
#include <QStringView>
#include <QUrl>

namespace orv {

// Number of non-overlapping occurrences of pattern in text, scanning left to
// right and going on just behind each match (case-sensitive). 0 for an empty
// text and for an empty pattern.
int CountOccurrences(const QString& text, const QString& pattern);

// The feed marker: a stored title (start page, bookmark, layout window)
// that begins with it, and is longer, says that its address is a feed.
inline constexpr QStringView FeedMarker = u"<FEED />";
bool IsFeedTitle(QStringView title);

// The first argument of an argument line. A line with exactly one ":" or "\\"
// (two backslashes) in total is one argument and comes back unchanged.
// Otherwise a line starting with a double quote gives the text up to the next
// double quote (the rest of the line when no quote closes it); any other line
// gives the text before its first blank, or the whole line without a blank.
QString FirstArgument(const QString& line);

// Removes one pair of enclosing double quotes: a text of at least two
// characters that begins and ends with one loses both; any other text comes
// back unchanged.
QString TrimChars(const QString& text);

// Scheme and host of an "http://", "https://" or "file://" address (scheme
// matched ignoring case, written in lower case; the host keeps its case):
// "HTTP://Host/a/b.html" gives "http://Host". Any other text gives "".
QString GetServerStr(const QString& url);

// The text up to and including its last "/" or "\"; "" without either.
QString GetPathStr(const QString& text);

// The address a user typed, dropped or passed, as a URL (blanks around it
// do not count). An existing local path, absolute or relative to
// workingFolder, becomes a file URL, and so does any text starting with "/";
// a text with a scheme ("about:blank", "mailto:a@b", "https://x") stays as it
// is; anything else is an http address: "www.example.org",
// "127.0.0.1:8731/p1.html", "localhost:8080/x" (a name before ":" followed
// by digits is a host and its port, not a scheme). An empty or blank text
// gives an empty URL.
QUrl UrlFromUserInput(const QString& text, const QString& workingFolder);

} // namespace orv
