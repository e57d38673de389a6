#include "qt/TableDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <iterator>
#include <map>

#include "qt/DialogFont.h"
#include "qt/QtText.h"

namespace tolvane {

TableWidgets BuildTable(QWidget& dialog, std::span<const ControlSpec> controls,
                        const MakeWidget& make) {
    // A frame's caption sits on its top line, so that the frame takes exactly its table
    // rectangle (the default style would draw the line below the caption).
    dialog.setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid rgb(160, 160, 160); border-radius: 2px;"
        " margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0px 2px; }"));
    // Frames first, so that the controls inside can be placed relative to them.
    std::map<std::string_view, QWidget*> frames;
    for (const ControlSpec& control : controls) {
        if (control.kind != ControlKind::GroupFrame) continue;
        auto* frame = new QGroupBox(FromUtf8(control.caption), &dialog);
        frame->setObjectName(FromUtf8(control.name));
        frame->setGeometry(ToQRect(LocalPixels(control)));
        frames[control.name] = frame;
    }
    TableWidgets widgets;
    for (const ControlSpec& control : controls) {
        if (control.kind == ControlKind::GroupFrame || control.Has(kLeftOut)) continue;
        QWidget* widget =
            make(control, control.parent.empty() ? &dialog : frames.at(control.parent));
        widget->setObjectName(FromUtf8(control.name) +
                              (control.index >= 0 ? QString::number(control.index) : QString()));
        QRect rect = ToQRect(LocalPixels(control));
        // The tables' check box rows were drawn for Windows' 13-pixel box; Qt's box and text
        // need their own height, or the box loses its bottom edge: grown about the middle.
        if (const int grow = widget->sizeHint().height() - rect.height();
            control.kind == ControlKind::CheckBox && grow > 0) {
            rect.adjust(0, -grow / 2, 0, grow - grow / 2);
        }
        widget->setGeometry(rect);
        if (!control.tooltip.empty()) widget->setToolTip(FromUtf8(control.tooltip));
        widget->setEnabled(!control.Has(kDisabledAtLoad));
        widgets.emplace_back(&control, widget);
    }
    TableWidgets byTab;
    std::ranges::copy_if(widgets, std::back_inserter(byTab),
                         [](const auto& entry) { return entry.first->tab >= 0; });
    std::ranges::sort(byTab, {}, [](const auto& entry) { return entry.first->tab; });
    for (std::size_t i = 1; i < byTab.size(); ++i) {
        QWidget::setTabOrder(byTab[i - 1].second, byTab[i].second);
    }
    return widgets;
}

QAbstractButton* MakeButton(const ControlSpec& control, QWidget* parent) {
    const QString caption = FromUtf8(control.caption);
    if (control.kind == ControlKind::OptionButton) return new QRadioButton(caption, parent);
    if (control.kind == ControlKind::CheckBox) return new QCheckBox(caption, parent);
    auto* push = new QPushButton(caption, parent);
    push->setDefault(control.Has(kDefaultButton));
    push->setAutoDefault(true);
    if (control.kind == ControlKind::LinkLabel) {
        // A link the keyboard reaches: blue text, a dotted frame when focused.
        push->setCursor(Qt::PointingHandCursor);
        push->setStyleSheet(
            QStringLiteral("QPushButton { color: rgb(0, 0, 255); border: 1px solid transparent;"
                           " background: transparent; text-align: left; padding: 0px; }"
                           "QPushButton:focus { border: 1px dotted rgb(0, 0, 255); }"));
    }
    return push;
}

void ShowChecked(QWidget& widget, const ControlSpec& control, bool checked, bool tabStop) {
    const bool option = control.kind == ControlKind::OptionButton;
    if (!option && control.kind != ControlKind::CheckBox) return;
    auto& button = static_cast<QAbstractButton&>(widget);
    // An exclusive group refuses to clear its last checked button by itself.
    button.setAutoExclusive(false);
    button.setChecked(checked);
    button.setAutoExclusive(option);
    if (option) button.setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

void FocusFirstControl(const TableWidgets& widgets) {
    // The first stop of the tab order: an option group is entered at its selected option.
    const std::pair<const ControlSpec*, QWidget*>* first = nullptr;
    for (const auto& entry : widgets) {
        const bool stop = entry.first->tab >= 0 && entry.second->isEnabled() &&
                          (entry.second->focusPolicy() & Qt::TabFocus) != 0;
        if (stop && (first == nullptr || entry.first->tab < first->first->tab)) first = &entry;
    }
    if (first != nullptr) first->second->setFocus(Qt::OtherFocusReason);
}

}  // namespace tolvane
