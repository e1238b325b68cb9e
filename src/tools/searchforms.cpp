#include "tools/searchforms.h"

#include "tools/uniqsortstrcollection.h"

namespace orv {

namespace {

bool isHeader(const QString& tag)
{
    return tag.size() == 2 && tag.at(0) == QLatin1Char('H') && tag.at(1) >= QLatin1Char('1') &&
           tag.at(1) <= QLatin1Char('6');
}

QString escapeAttribute(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('&'), QStringLiteral("&amp;"));
    escaped.replace(QLatin1Char('"'), QStringLiteral("&quot;"));
    return escaped;
}

QString escapeText(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('&'), QStringLiteral("&amp;"));
    escaped.replace(QLatin1Char('<'), QStringLiteral("&lt;"));
    escaped.replace(QLatin1Char('>'), QStringLiteral("&gt;"));
    return escaped;
}

} // namespace

QList<SearchForm> ReadSearchForms(const DocSnapshot& document)
{
    QList<SearchForm> forms;
    if (!document.valid)
        return forms;
    for (const DocNode* node : document.elements()) {
        if (!isHeader(node->nodeName))
            continue;
        SearchForm form;
        form.name = node->innerText.trimmed();
        const qsizetype lt = form.name.indexOf(QLatin1Char('<'));
        if (lt >= 0)
            form.name = form.name.mid(lt);
        form.group = node->attribute(u"id").trimmed();
        form.number = int(forms.size()) + 1;
        forms.append(form);
    }
    return forms;
}

QStringList SearchGroups(const QList<SearchForm>& forms)
{
    UniqSortStrCollection groups;
    for (const SearchForm& form : forms)
        groups.Add(form.group);
    return groups.SortedStrCollection();
}

QList<SearchForm> FilterSearchForms(const QList<SearchForm>& forms, const QString& group)
{
    QList<SearchForm> shown;
    for (const SearchForm& form : forms)
        if (group.isEmpty() || form.group == group)
            shown.append(form);
    return shown;
}

QString SearchFormPage(const QString& formHtml, const QString& term)
{
    enum class State { Text, Tag, Quoted };
    const QString placeholder = SearchPlaceholder();
    QString body;
    body.reserve(formHtml.size() + term.size());
    State state = State::Text;
    for (qsizetype i = 0; i < formHtml.size();) {
        if (formHtml.mid(i, placeholder.size()) == placeholder) {
            body += state == State::Quoted ? escapeAttribute(term)
                                           : QLatin1Char('"') + escapeText(term) + QLatin1Char('"');
            i += placeholder.size();
            continue;
        }
        const QChar c = formHtml.at(i);
        // Serialised markup quotes every attribute value with double quotes.
        if (state == State::Text && c == QLatin1Char('<'))
            state = State::Tag;
        else if (state == State::Tag && c == QLatin1Char('>'))
            state = State::Text;
        else if (state == State::Tag && c == QLatin1Char('"'))
            state = State::Quoted;
        else if (state == State::Quoted && c == QLatin1Char('"'))
            state = State::Tag;
        body += c;
        ++i;
    }
    return QStringLiteral("<HTML><HEAD><title>3</title></HEAD><body>") + body +
           QStringLiteral("</body></HTML>");
}

bool IsHtmlAddress(const QString& address)
{
    const QString upper = address.toUpper();
    return upper.endsWith(QStringLiteral("HTML")) || upper.endsWith(QStringLiteral("HTM"));
}

} // namespace orv
