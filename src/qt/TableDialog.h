#pragma once

#include <QAbstractButton>
#include <QWidget>

#include <functional>
#include <span>
#include <utility>
#include <vector>

#include "base/DialogLayout.h"

namespace tolvane {

// The widgets of a dialog built from its layout table, in table order; frames are not listed.
using TableWidgets = std::vector<std::pair<const ControlSpec*, QWidget*>>;
using MakeWidget = std::function<QWidget*(const ControlSpec& control, QWidget* parent)>;

// Builds a layout table on `dialog`: the group frames first, with the dialog's style sheet for
// them, then each other control made by `make` inside its frame, named (an option button with
// its index), placed, with the table's tooltip and greyed where the table says. The tab order
// is the table's.
TableWidgets BuildTable(QWidget& dialog, std::span<const ControlSpec> controls,
                        const MakeWidget& make);

// An option button, a check box or, for the other rows, a push button (a link in the tab order
// is a push button drawn as a link).
QAbstractButton* MakeButton(const ControlSpec& control, QWidget* parent);

// Shows an option button or check box checked or not, and an option button as a tab stop or
// not; other widgets stay as they are.
void ShowChecked(QWidget& widget, const ControlSpec& control, bool checked, bool tabStop);

// The first control of the tab order takes the focus, as when a form opens.
void FocusFirstControl(const TableWidgets& widgets);

}  // namespace tolvane
