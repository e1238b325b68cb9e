#pragma once

#include <QIcon>
#include <QPixmap>

namespace orv {

// The program's small pictures, drawn once and kept.
// Activity image of a browser window: 1..4 the busy animation (1 is also
// the idle image), 5 the secure idle image.
const QPixmap& ActivityImage(int index);
// Tab image: 1 selected, 2 idle, 3..10 the busy animation.
const QIcon& TabImage(int index);

} // namespace orv
