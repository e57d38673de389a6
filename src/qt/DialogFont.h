#pragma once

#include <QFont>
#include <QRect>
#include <QWidget>

#include "base/DialogLayout.h"

namespace tolvane {

// Tahoma 8.25 pt where it exists; otherwise a face that has the Chinese glyphs, at that size.
QFont DialogFont();

inline QRect ToQRect(const PixelRect& rect) {
    return QRect(rect.left, rect.top, rect.width, rect.height);
}

// A fixed-size dialog window: title bar with a close box only, centred on its screen.
void MakeFixedDialog(QWidget& dialog, const DialogSpec& spec, Qt::WindowType type);
void CentreOnScreen(QWidget& dialog);

}  // namespace tolvane
