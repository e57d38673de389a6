#include "qt/DialogFont.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>

#include <algorithm>

namespace tolvane {

QFont DialogFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("sans-serif")});
    font.setPointSizeF(std::max(kDialogPoints, QGuiApplication::font().pointSizeF()));
    return font;
}

void MakeFixedDialog(QWidget& dialog, const DialogSpec& spec, Qt::WindowType type) {
    dialog.setWindowFlags(type | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint);
    dialog.setFixedSize(spec.ClientWidth(), spec.ClientHeight());
    dialog.setFont(DialogFont());
}

void CentreOnScreen(QWidget& dialog) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    dialog.move(area.x() + (area.width() - dialog.width()) / 2,
                area.y() + (area.height() - dialog.height()) / 2);
}

}  // namespace tolvane
