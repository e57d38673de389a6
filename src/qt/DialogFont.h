#pragma once

#include <QFont>
#include <QRect>
#include <QWidget>

#include "base/DialogLayout.h"

namespace tolvane {

// The size the dialogs were drawn for.
inline constexpr double kDialogPoints = 8.25;

// Tahoma where it exists, otherwise a face that has the Chinese glyphs; 8.25 pt, or the
// application font's size where the user chose larger text.
QFont DialogFont();

inline QRect ToQRect(const PixelRect& rect) {
    return QRect(rect.left, rect.top, rect.width, rect.height);
}

// A dialog window of fixed size (BuildTable sets it): title bar with a close box only, in the
// dialog font.
void MakeFixedDialog(QWidget& dialog, const DialogSpec& spec, Qt::WindowType type);
void CentreOnScreen(QWidget& dialog);

}  // namespace tolvane
