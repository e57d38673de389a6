#pragma once

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "base/Twips.h"

namespace tolvane {

// Dialog geometry is kept in twips, as the dialogs were designed; the screen gets pixels at the
// window's DPI, each of left, top, width and height converted on its own.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

enum class ControlKind {
    GroupFrame,
    OptionButton,
    CheckBox,
    Label,
    LinkLabel,  // in the tab order it is reachable by the keyboard and acts like a button
    Button,
    Picture,
    Separator,
    TextField,  // one line of text the user types
    Slider,     // a whole number from 0 to 100
    DropDown,   // one choice from a list the dialog's logic fills
};

enum ControlFlag : unsigned {
    kNoFlags = 0,
    kDefaultButton = 1u << 0,   // Enter presses it unless another button has the focus
    kCancelButton = 1u << 1,    // Esc presses it
    kDisabledAtLoad = 1u << 2,  // greyed when the dialog opens
    kLeftOut = 1u << 3,         // kept in the table for its tab number, never created
};

// One control of a dialog. Option buttons of one group share a name and are told apart by
// their index; `role` says what the dialog's logic does with the control.
struct ControlSpec {
    std::string_view name;
    ControlKind kind;
    std::string_view parent;   // the group frame holding it; empty for the dialog itself
    std::string_view caption;  // '&' marks the access key
    int index;                 // -1 outside option groups
    TwipsRect rect;            // relative to the parent
    int tab;                   // tab order, 0 first; -1 for controls outside it
    std::string_view tooltip;
    unsigned flags;
    int role;
    // What a screen reader calls it: its own caption without the access key, or the label that
    // names it; empty for labels, pictures and a link whose text is set at load, which are read
    // as the text they show.
    std::string_view accessibleName;

    bool Has(ControlFlag flag) const { return (flags & flag) != 0; }
};

struct DialogSpec {
    std::string_view caption;
    int clientWidthTwips;
    int clientHeightTwips;
    std::span<const ControlSpec> controls;

    int ClientWidth(int dpi = kDefaultDpi) const { return TwipsToPixels(clientWidthTwips, dpi); }
    int ClientHeight(int dpi = kDefaultDpi) const { return TwipsToPixels(clientHeightTwips, dpi); }
};

// Tab enters an option group at its selected option, or at its first when none is; the arrows
// walk the rest.
constexpr bool IsOptionTabStop(int index, int selected) {
    return selected == index || (selected < 0 && index == 0);
}

// A control's rectangle relative to its parent, in pixels.
PixelRect LocalPixels(const ControlSpec& control, int dpi = kDefaultDpi);

// A control's rectangle in the dialog's client area, its frame's offset added (for toolkits
// whose frames do not hold their controls).
PixelRect ClientPixels(const DialogSpec& dialog, const ControlSpec& control, int dpi = kDefaultDpi);

// The first control named `name`, or nullptr.
const ControlSpec* FindControl(const DialogSpec& dialog, std::string_view name);

// The label that names a text field, slider or drop-down: the plain label in the table's row
// just before it; nullptr for every other control.
const ControlSpec* LabelOf(const DialogSpec& dialog, const ControlSpec& control);

// The table's rows in the order their windows are made, which is also the order a screen reader
// and the dialog manager walk: the tab order, with each frame just before its first member and
// each label just before the control it names, the other rows last.
std::vector<std::size_t> CreationOrder(const DialogSpec& dialog);

}  // namespace tolvane
