#include "qt/FormAdvanced.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include "qt/DialogFont.h"
#include "qt/QtText.h"
#include "qt/TableDialog.h"

namespace tolvane {
Form_高级设置::Form_高级设置(AdvancedDialog& core, QWidget* owner, std::function<void()> closing)
    : QDialog(owner), m_core(core), m_closing(std::move(closing)) {
    setObjectName(QStringLiteral("Form_高级设置"));
    setWindowTitle(FromUtf8(kAdvancedDialog.caption));
    MakeFixedDialog(*this, kAdvancedDialog, Qt::Dialog);
    setWindowModality(Qt::WindowModal);

    m_widgets = BuildTable(
        *this, kAdvancedControls, [this](const ControlSpec& control, QWidget* parent) -> QWidget* {
            switch (control.kind) {
                case ControlKind::OptionButton:
                case ControlKind::CheckBox:
                case ControlKind::Button: {
                    QAbstractButton* button = MakeButton(control, parent);
                    connect(button, &QAbstractButton::clicked, this,
                            [this, &control] { OnClick(control); });
                    return button;
                }
                case ControlKind::TextField: {
                    auto* field = new QLineEdit(parent);
                    field->setMaxLength(TextFieldChars(static_cast<AdvancedRole>(control.role)));
                    connect(field, &QLineEdit::textEdited, this,
                            [this, &control](const QString& text) {
                                m_core.Edit(control, text.toStdString());
                                Render();
                            });
                    return field;
                }
                case ControlKind::DropDown: {
                    auto* box = new QComboBox(parent);
                    connect(box, &QComboBox::activated, this, [this, &control](int index) {
                        m_core.Click(static_cast<AdvancedRole>(control.role), index);
                        Render();
                    });
                    return box;
                }
                case ControlKind::Slider: {
                    auto* slider = new QSlider(Qt::Horizontal, parent);
                    slider->setRange(0, 100);
                    slider->setPageStep(kVolumePageStep);
                    connect(slider, &QSlider::valueChanged, this, [this, &control](int value) {
                        m_core.Slide(control, value);
                        Render();
                    });
                    return slider;
                }
                default: {
                    auto* label = new QLabel(FromUtf8(control.caption), parent);
                    label->setTextFormat(Qt::PlainText);
                    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
                    if (static_cast<AdvancedRole>(control.role) == AdvancedRole::Message) {
                        label->setWordWrap(true);
                        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                        label->setStyleSheet(QStringLiteral("color: rgb(192, 0, 0);"));
                    }
                    return label;
                }
            }
        });
}

void Form_高级设置::Form_Load() {
    m_core.Form_Load();
    Render();
    CentreOnScreen(*this);
    show();
    activateWindow();
    FocusFirstControl(m_widgets);
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
        ShowChecked(*widget, *control, m_core.Checked(*control),
                    IsOptionTabStop(control->index, m_core.Selected(role)));
        if (auto* field = qobject_cast<QLineEdit*>(widget)) {
            // Only a changed text is set: setting it would move the caret.
            const QString text = FromUtf8(m_core.Text(*control));
            if (field->text() != text) field->setText(text);
        } else if (auto* box = qobject_cast<QComboBox*>(widget)) {
            QStringList choices;
            for (const std::string& choice : m_core.Choices(*control)) choices << FromUtf8(choice);
            QStringList shown;
            for (int i = 0; i < box->count(); ++i) shown << box->itemText(i);
            if (shown != choices) {
                box->clear();
                box->addItems(choices);
                // The list may be wider than the box: a folder's name is the user's.
                box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) + 8);
            }
            box->setCurrentIndex(m_core.Selected(role));
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
