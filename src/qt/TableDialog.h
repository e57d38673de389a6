#pragma once

#include <QAbstractButton>
#include <QWidget>

#include <functional>
#include <utility>
#include <vector>

#include "base/DialogLayout.h"

namespace tolvane {

// The widgets of a dialog built from its layout table, in table order; frames are not listed.
using TableWidgets = std::vector<std::pair<const ControlSpec*, QWidget*>>;
// Makes a control's widget; nullptr for a row the dialog draws itself.
using MakeWidget = std::function<QWidget*(const ControlSpec& control, QWidget* parent)>;

// Builds a layout table on `dialog`: the group frames first, with the dialog's style sheet for
// them, then each other control made by `make` inside its frame, named (an option button with
// its index), with the table's tooltip and accessible name, greyed where the table says, and a
// field's label made its buddy. The tab order is the table's. Everything is then placed at the
// DPI where every text fits its box in its own font (the user's font may be larger than the
// dialog font's design size), and the dialog takes the table's size at that DPI, returned in
// `dpi`.
TableWidgets BuildTable(QWidget& dialog, const DialogSpec& spec, const MakeWidget& make,
                        int* dpi = nullptr);

// An option button, a check box or, for the other rows, a push button (a link in the tab order
// is a push button drawn as a link).
QAbstractButton* MakeButton(const ControlSpec& control, QWidget* parent);

// Shows an option button or check box checked or not, and an option button as a tab stop or
// not; other widgets stay as they are.
void ShowChecked(QWidget& widget, const ControlSpec& control, bool checked, bool tabStop);

// The first control of the tab order takes the focus, as when a form opens, and shows it.
void FocusFirstControl(const TableWidgets& widgets);

}  // namespace tolvane
