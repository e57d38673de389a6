#include "qt/TableDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>

#include "qt/DialogFont.h"
#include "qt/QtText.h"

namespace tolvane {

namespace {

// The most the dialogs grow for large text: four times their design size.
constexpr int kLargestDpi = 4 * kDefaultDpi;

// The pixels across that a widget's text needs in its own font, with what stands beside it
// (a check mark, a button's edge, a frame's corner). Heights follow the font; a wrapped label
// is measured once placed.
int WidthNeeded(const ControlSpec& control, QWidget& widget) {
    const QFontMetrics metrics = widget.fontMetrics();
    const auto across = [&metrics](QString text) {
        int widest = 0;
        for (const QString& line : text.remove(QLatin1Char('&')).split(QLatin1Char('\n')))
            widest = std::max(widest, metrics.horizontalAdvance(line));
        return widest;
    };
    if (auto* frame = qobject_cast<QGroupBox*>(&widget)) {
        // The title sits 6 pixels in, with 2 on each side.
        return across(frame->title()) + 12;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
        const int text = across(button->text());
        if (control.kind == ControlKind::OptionButton || control.kind == ControlKind::CheckBox) {
            QStyle* style = widget.style();
            const int mark = style->pixelMetric(control.kind == ControlKind::OptionButton
                                                    ? QStyle::PM_ExclusiveIndicatorWidth
                                                    : QStyle::PM_IndicatorWidth,
                                                nullptr, &widget);
            return mark + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, &widget) +
                   text;
        }
        // A button's edge, or a link's focus frame.
        return text + (control.kind == ControlKind::LinkLabel ? 2 : 8);
    }
    if (auto* label = qobject_cast<QLabel*>(&widget); label && !label->wordWrap()) {
        return across(label->text());
    }
    return 0;
}

// The DPI at which every text fits its box: at least the dialog font's growth over its design
// size, and whatever a tighter box asks for.
int FittingDpi(const std::vector<std::pair<const ControlSpec*, QWidget*>>& all, QWidget& dialog) {
    const qreal points = dialog.font().pointSizeF();
    int dpi =
        std::max(kDefaultDpi, static_cast<int>(std::ceil(kDefaultDpi * points / kDialogPoints)));
    for (const auto& [control, widget] : all) {
        dpi = std::max(dpi, DpiToFit(control->rect.width, WidthNeeded(*control, *widget)));
    }
    // Wrapped labels take as many lines as the width they get allows.
    for (bool grown = true; grown && dpi < kLargestDpi;) {
        grown = false;
        for (const auto& [control, widget] : all) {
            auto* label = qobject_cast<QLabel*>(widget);
            if (label == nullptr || !label->wordWrap() || label->text().isEmpty()) continue;
            const PixelRect rect = LocalPixels(*control, dpi);
            if (label->heightForWidth(rect.width) > rect.height) {
                dpi += 2;
                grown = true;
            }
        }
    }
    return std::min(dpi, kLargestDpi);
}

}  // namespace

TableWidgets BuildTable(QWidget& dialog, const DialogSpec& spec, const MakeWidget& make,
                        int* dpiOut) {
    // A frame's caption sits on its top line, so that the frame takes exactly its table
    // rectangle (the default style would draw the line below the caption).
    dialog.setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid rgb(160, 160, 160); border-radius: 2px;"
        " margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0px 2px; }"));
    // Frames first, so that the controls inside can be placed relative to them.
    std::map<std::string_view, QWidget*> frames;
    std::vector<std::pair<const ControlSpec*, QWidget*>> all;
    for (const ControlSpec& control : spec.controls) {
        if (control.kind != ControlKind::GroupFrame) continue;
        auto* frame = new QGroupBox(FromUtf8(control.caption), &dialog);
        frame->setObjectName(FromUtf8(control.name));
        frame->setAccessibleName(FromUtf8(control.accessibleName));
        frames[control.name] = frame;
        all.emplace_back(&control, frame);
    }
    TableWidgets widgets;
    for (const ControlSpec& control : spec.controls) {
        if (control.kind == ControlKind::GroupFrame || control.Has(kLeftOut)) continue;
        QWidget* widget =
            make(control, control.parent.empty() ? &dialog : frames.at(control.parent));
        if (widget == nullptr) continue;
        widget->setObjectName(FromUtf8(control.name) +
                              (control.index >= 0 ? QString::number(control.index) : QString()));
        if (!control.tooltip.empty()) widget->setToolTip(FromUtf8(control.tooltip));
        // Without the access key's brackets, which a screen reader would read out.
        if (!control.accessibleName.empty()) {
            widget->setAccessibleName(FromUtf8(control.accessibleName));
        }
        widget->setEnabled(!control.Has(kDisabledAtLoad));
        widgets.emplace_back(&control, widget);
        all.emplace_back(&control, widget);
    }
    for (const auto& [control, widget] : widgets) {
        // Screen readers say a buddy's text rather than the field's name: only a label that
        // says the whole name becomes one.
        const ControlSpec* label = LabelOf(spec, *control);
        for (const auto& [other, otherWidget] : widgets) {
            if (other == label && label->caption == control->accessibleName) {
                static_cast<QLabel*>(otherWidget)->setBuddy(widget);
            }
        }
    }

    const int dpi = FittingDpi(all, dialog);
    dialog.setFixedSize(spec.ClientWidth(dpi), spec.ClientHeight(dpi));
    for (const auto& [control, widget] : all) {
        QRect rect = ToQRect(LocalPixels(*control, dpi));
        // The tables' check box rows were drawn for Windows' 13-pixel box; Qt's box and text
        // need their own height, or the box loses its bottom edge: grown about the middle.
        if (const int grow = widget->sizeHint().height() - rect.height();
            control->kind == ControlKind::CheckBox && grow > 0) {
            rect.adjust(0, -grow / 2, 0, grow - grow / 2);
        }
        widget->setGeometry(rect);
    }
    if (dpiOut != nullptr) *dpiOut = dpi;

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
    if (first == nullptr) return;
    // Its focus frame shows at once, as after a Tab: the dialog opened for the keyboard.
    first->second->window()->setAttribute(Qt::WA_KeyboardFocusChange);
    first->second->setFocus(Qt::OtherFocusReason);
}

}  // namespace tolvane
