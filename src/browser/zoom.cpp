#include "browser/zoom.h"

#include "app/docsnapshot.h"
#include "browser/frmbrowser.h"

#include <algorithm>

namespace orv {

namespace {

constexpr std::array<int, kTextSizeMax + 1> kFontSizes = {12, 14, 16, 20, 24};

} // namespace

int FontSizeOfTextSize(int step)
{
    return kFontSizes[size_t(qBound(kTextSizeMin, step, kTextSizeMax))];
}

int TextSizeOfFontSize(int pixels)
{
    int step = kTextSizeMin;
    for (int i = kTextSizeMin; i <= kTextSizeMax; ++i)
        if (kFontSizes[size_t(i)] <= pixels)
            step = i;
    return step;
}

QString ZoomScript(int percent)
{
    return QStringLiteral("document.body.style.zoom ='") + QString::number(percent) +
           QStringLiteral("%'");
}

ZoomRoute ZoomRouteOf(const DocSnapshot& document)
{
    if (!document.valid || !document.htmlDocument)
        return ZoomRoute::None;
    // The engine shows pictures, text files and plug-in content inside an
    // HTML document of its own: those are no pages to zoom.
    const QString type = document.contentType.toLower();
    if (type != QLatin1String("text/html") && type != QLatin1String("application/xhtml+xml"))
        return ZoomRoute::None;
    const DocNode* body = document.body();
    if (!body)
        return ZoomRoute::None;
    return body->nodeName == QLatin1String("FRAMESET") ? ZoomRoute::Engine : ZoomRoute::Script;
}

int NextZoomStep(int percent, int direction)
{
    if (direction == 0)
        return kZoomNone;
    if (direction > 0) {
        const auto* above = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), percent);
        return above == kZoomSteps.end() ? kZoomSteps.back() : *above;
    }
    const auto* below = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), percent);
    return below == kZoomSteps.begin() ? kZoomSteps.front() : *(below - 1);
}

void StepZoom(frmBrowser& window, int direction)
{
    const int current = window.ZoomTarget();
    const int next = NextZoomStep(current, direction);
    if (next != current)
        window.SetZoomFactor(next);
}

void StepTextSize(frmBrowser& window, int target)
{
    target = qBound(kTextSizeMin, target, kTextSizeMax);
    int current = window.TextSize();
    while (current != target) {
        current += current < target ? 1 : -1;
        window.SetTextSize(current);
    }
}

} // namespace orv
