#include "app/DialogLayout.h"

namespace tolvane {

PixelRect LocalPixels(const ControlSpec& control) {
    return {ToPixels(control.rect.left), ToPixels(control.rect.top), ToPixels(control.rect.width),
            ToPixels(control.rect.height)};
}

const ControlSpec* FindControl(const DialogSpec& dialog, std::string_view name) {
    for (const ControlSpec& control : dialog.controls) {
        if (control.name == name) return &control;
    }
    return nullptr;
}

PixelRect ClientPixels(const DialogSpec& dialog, const ControlSpec& control) {
    PixelRect rect = LocalPixels(control);
    // Frames nest only one deep; a frame that is missing leaves the control where it is.
    if (const ControlSpec* frame =
            control.parent.empty() ? nullptr : FindControl(dialog, control.parent)) {
        const PixelRect origin = LocalPixels(*frame);
        rect.x += origin.x;
        rect.y += origin.y;
    }
    return rect;
}

}  // namespace tolvane
