#include "base/DialogLayout.h"

namespace tolvane {

PixelRect LocalPixels(const ControlSpec& control, int dpi) {
    return {TwipsToPixels(control.rect.left, dpi), TwipsToPixels(control.rect.top, dpi),
            TwipsToPixels(control.rect.width, dpi), TwipsToPixels(control.rect.height, dpi)};
}

const ControlSpec* FindControl(const DialogSpec& dialog, std::string_view name) {
    for (const ControlSpec& control : dialog.controls) {
        if (control.name == name) return &control;
    }
    return nullptr;
}

PixelRect ClientPixels(const DialogSpec& dialog, const ControlSpec& control, int dpi) {
    PixelRect rect = LocalPixels(control, dpi);
    // Frames nest only one deep; a frame that is missing leaves the control where it is.
    if (const ControlSpec* frame =
            control.parent.empty() ? nullptr : FindControl(dialog, control.parent)) {
        const PixelRect origin = LocalPixels(*frame, dpi);
        rect.left += origin.left;
        rect.top += origin.top;
    }
    return rect;
}

}  // namespace tolvane
