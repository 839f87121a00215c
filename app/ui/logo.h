#pragma once
// The program's own logo, drawn rather than loaded so that it needs no image plug-in.

#include <QPixmap>

namespace tidemet {

// A square logo: a pool-blue disc with two waves and a force curve rising out of them.
QPixmap TidemetLogo(int size);

}  // namespace tidemet
