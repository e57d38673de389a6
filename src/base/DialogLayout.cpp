#include "base/DialogLayout.h"

#include <algorithm>
#include <numeric>

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

const ControlSpec* LabelOf(const DialogSpec& dialog, const ControlSpec& control) {
    const bool field = control.kind == ControlKind::TextField ||
                       control.kind == ControlKind::Slider || control.kind == ControlKind::DropDown;
    const auto row = static_cast<std::size_t>(&control - dialog.controls.data());
    if (!field || row == 0 || row >= dialog.controls.size()) return nullptr;
    const ControlSpec& before = dialog.controls[row - 1];
    // A label the dialog's logic fills (a value, a message) names nothing.
    return before.kind == ControlKind::Label && !before.caption.empty() ? &before : nullptr;
}

std::vector<std::size_t> CreationOrder(const DialogSpec& dialog) {
    const auto& controls = dialog.controls;
    std::vector<std::size_t> byTab(controls.size());
    std::iota(byTab.begin(), byTab.end(), std::size_t{0});
    std::stable_sort(byTab.begin(), byTab.end(), [&controls](std::size_t a, std::size_t b) {
        const int tabA = controls[a].tab, tabB = controls[b].tab;
        return (tabA < 0 ? 1000 : tabA) < (tabB < 0 ? 1000 : tabB);
    });
    std::vector<std::size_t> order;
    std::vector<bool> placed(controls.size(), false);
    const auto place = [&](std::size_t row) {
        if (!placed[row]) order.push_back(row);
        placed[row] = true;
    };
    for (std::size_t row : byTab) {
        const ControlSpec& control = controls[row];
        if (!control.parent.empty()) {
            for (std::size_t frame = 0; frame < controls.size(); ++frame) {
                if (controls[frame].name == control.parent) place(frame);
            }
        }
        if (const ControlSpec* label = LabelOf(dialog, control)) {
            place(static_cast<std::size_t>(label - controls.data()));
        }
        place(row);
    }
    return order;
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
