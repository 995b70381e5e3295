// Saving what the screen shows, for the screenshot programs.
#pragma once

#include <QRect>
#include <QString>

namespace quillon::tools {

// Saves the screen's area as dir/name (PNG) and prints the path. Returns false, having said
// why on stderr under program's name, when the file cannot be written.
bool SaveScreenArea(const QString& dir, const QString& name, const QRect& area,
                    const char* program);

}  // namespace quillon::tools
