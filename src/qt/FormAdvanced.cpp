#include "qt/FormAdvanced.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <algorithm>
#include <map>

#include "qt/DialogFont.h"
#include "qt/QtText.h"

namespace tolvane {
Form_高级设置::Form_高级设置(AdvancedDialog& core, QWidget* owner, std::function<void()> closing)
    : QDialog(owner), m_core(core), m_closing(std::move(closing)) {
    setObjectName(QStringLiteral("Form_高级设置"));
    setWindowTitle(FromUtf8(kAdvancedDialog.caption));
    MakeFixedDialog(*this, kAdvancedDialog, Qt::Dialog);
    setWindowModality(Qt::WindowModal);
    setStyleSheet(FrameStyleSheet());

    std::map<std::string_view, QWidget*> frames;
    for (const ControlSpec& control : kAdvancedControls) {
        if (control.kind != ControlKind::GroupFrame) continue;
        auto* frame = new QGroupBox(FromUtf8(control.caption), this);
        frame->setObjectName(FromUtf8(control.name));
        frame->setGeometry(ToQRect(LocalPixels(control)));
        frames[control.name] = frame;
    }
    for (const ControlSpec& control : kAdvancedControls) {
        if (control.kind == ControlKind::GroupFrame) continue;
        QWidget* parent = control.parent.empty() ? this : frames.at(control.parent);
        const QString caption = FromUtf8(control.caption);
        QWidget* widget = nullptr;
        switch (control.kind) {
            case ControlKind::OptionButton:
            case ControlKind::CheckBox:
            case ControlKind::Button: {
                QAbstractButton* button = nullptr;
                if (control.kind == ControlKind::OptionButton) {
                    button = new QRadioButton(caption, parent);
                } else if (control.kind == ControlKind::CheckBox) {
                    button = new QCheckBox(caption, parent);
                } else {
                    auto* push = new QPushButton(caption, parent);
                    push->setDefault(control.Has(kDefaultButton));
                    push->setAutoDefault(true);
                    button = push;
                }
                connect(button, &QAbstractButton::clicked, this,
                        [this, &control] { OnClick(control); });
                widget = button;
                break;
            }
            case ControlKind::TextField: {
                auto* field = new QLineEdit(parent);
                field->setMaxLength(TextFieldChars(static_cast<AdvancedRole>(control.role)));
                connect(field, &QLineEdit::textEdited, this, [this, &control](const QString& text) {
                    m_core.Edit(control, text.toStdString());
                    Render();
                });
                widget = field;
                break;
            }
            case ControlKind::Slider: {
                auto* slider = new QSlider(Qt::Horizontal, parent);
                slider->setRange(0, 100);
                slider->setPageStep(kVolumePageStep);
                connect(slider, &QSlider::valueChanged, this, [this, &control](int value) {
                    m_core.Slide(control, value);
                    Render();
                });
                widget = slider;
                break;
            }
            default: {
                auto* label = new QLabel(caption, parent);
                label->setTextFormat(Qt::PlainText);
                label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
                if (static_cast<AdvancedRole>(control.role) == AdvancedRole::Message) {
                    label->setWordWrap(true);
                    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                    label->setStyleSheet(QStringLiteral("color: rgb(192, 0, 0);"));
                }
                widget = label;
                break;
            }
        }
        widget->setObjectName(FromUtf8(control.name) +
                              (control.index >= 0 ? QString::number(control.index) : QString()));
        widget->setGeometry(ToQRect(LocalPixels(control)));
        if (!control.tooltip.empty()) widget->setToolTip(FromUtf8(control.tooltip));
        widget->setEnabled(!control.Has(kDisabledAtLoad));
        m_widgets.emplace_back(&control, widget);
    }
    // The tab order is the table's.
    std::vector<std::pair<const ControlSpec*, QWidget*>> byTab;
    std::copy_if(m_widgets.begin(), m_widgets.end(), std::back_inserter(byTab),
                 [](const auto& entry) { return entry.first->tab >= 0; });
    std::sort(byTab.begin(), byTab.end(),
              [](const auto& a, const auto& b) { return a.first->tab < b.first->tab; });
    for (std::size_t i = 1; i < byTab.size(); ++i) {
        setTabOrder(byTab[i - 1].second, byTab[i].second);
    }
}

void Form_高级设置::Form_Load() {
    m_core.Form_Load();
    Render();
    CentreOnScreen(*this);
    show();
    activateWindow();
    for (const auto& [control, widget] : m_widgets) {
        if (control->tab == 0) widget->setFocus(Qt::OtherFocusReason);
    }
}

void Form_高级设置::reject() {
    m_core.Click(AdvancedRole::Cancel);
    CloseIfDone();
}

void Form_高级设置::closeEvent(QCloseEvent* event) {
    // The close box closes without saving; it is not the Cancel button.
    m_core.CloseBox();
    event->accept();
    CloseIfDone();
}

void Form_高级设置::OnClick(const ControlSpec& control) {
    if (m_closed) return;
    m_core.Click(control);
    Render();
    CloseIfDone();
}

void Form_高级设置::Render() {
    for (const auto& [control, widget] : m_widgets) {
        const auto role = static_cast<AdvancedRole>(control->role);
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            if (control->kind != ControlKind::Button) {
                // An exclusive group refuses to clear its last checked button by itself.
                button->setAutoExclusive(false);
                button->setChecked(m_core.Checked(*control));
                button->setAutoExclusive(control->kind == ControlKind::OptionButton);
            }
            if (control->kind == ControlKind::OptionButton) {
                const bool stop = IsOptionTabStop(control->index, m_core.Selected(role));
                button->setFocusPolicy(stop ? Qt::StrongFocus : Qt::ClickFocus);
            }
        } else if (auto* field = qobject_cast<QLineEdit*>(widget)) {
            // Only a changed text is set: setting it would move the caret.
            const QString text = FromUtf8(m_core.Text(*control));
            if (field->text() != text) field->setText(text);
        } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
            if (slider->value() != m_core.Value(*control)) slider->setValue(m_core.Value(*control));
        } else if (auto* label = qobject_cast<QLabel*>(widget);
                   label && role != AdvancedRole::None) {
            label->setText(FromUtf8(m_core.Text(*control)));
        }
        widget->setEnabled(m_core.Enabled(*control));
        widget->setToolTip(FromUtf8(m_core.Tooltip(*control)));
    }
}

void Form_高级设置::CloseIfDone() {
    if (m_core.IsOpen() || m_closed) return;
    m_closed = true;
    hide();
    if (m_closing) m_closing();
}

}  // namespace tolvane
