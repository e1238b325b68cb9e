#include "bookmarks/export.h"

#include "app/texts.h"

namespace orv {

bool IsRssLink(const QString& text)
{
    static const char* const prefixes[] = {"mailto:", "http://", "https://", "news://", "ftp://"};
    for (const char* prefix : prefixes) {
        const QLatin1String p(prefix);
        if (!text.startsWith(p))
            continue;
        // Only blanks count as surrounding space here.
        qsizetype begin = 0;
        qsizetype end = text.size();
        while (begin < end && text[begin] == u' ')
            ++begin;
        while (end > begin && text[end - 1] == u' ')
            --end;
        return end - begin > p.size();
    }
    return false;
}

RssCheck CheckRssChannel(const RssChannel& channel, bool withImage)
{
    // The captions of the fields' labels name the failing field.
    const auto failed = [](RssField field, const char* caption) {
        return RssCheck{field, Txt(1070) + QLatin1String(caption) + Txt(1071)};
    };
    if (channel.title.isEmpty())
        return failed(RssField::Title, "<title>");
    if (!IsRssLink(channel.link))
        return failed(RssField::Link, "<link>");
    if (withImage) {
        if (!IsRssLink(channel.imageUrl))
            return failed(RssField::ImageUrl, "<url>");
        if (channel.imageTitle.isEmpty())
            return failed(RssField::ImageTitle, "<title>");
        if (!IsRssLink(channel.imageLink))
            return failed(RssField::ImageLink, "<link>");
    }
    return {};
}

} // namespace orv
