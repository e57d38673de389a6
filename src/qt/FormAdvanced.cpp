#include "qt/FormAdvanced.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include <optional>

#include "app/Hotkey.h"
#include "qt/DialogFont.h"
#include "qt/QtText.h"
#include "qt/TableDialog.h"

namespace tolvane {
namespace {

// The core's name of a key ("Backspace" too, which clears the hotkey field); "" for others.
std::string KeyNameOf(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return std::string(1, char('A' + key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return std::string(1, char('0' + key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return "F" + std::to_string(key - Qt::Key_F1 + 1);
    const std::pair<int, const char*> named[] = {{Qt::Key_Space, "Space"},
                                                 {Qt::Key_Insert, "Insert"},
                                                 {Qt::Key_Delete, "Delete"},
                                                 {Qt::Key_Home, "Home"},
                                                 {Qt::Key_End, "End"},
                                                 {Qt::Key_PageUp, "PageUp"},
                                                 {Qt::Key_PageDown, "PageDown"},
                                                 {Qt::Key_Pause, "Pause"},
                                                 {Qt::Key_Backspace, "Backspace"}};
    for (const auto& [code, name] : named) {
        if (key == code) return name;
    }
    return "";
}

std::optional<std::string> Recorded(const QKeyEvent& key) {
    std::uint32_t modifiers = 0;
    if (key.modifiers() & Qt::ControlModifier) modifiers |= kHotkeyCtrl;
    if (key.modifiers() & Qt::AltModifier) modifiers |= kHotkeyAlt;
    if (key.modifiers() & Qt::ShiftModifier) modifiers |= kHotkeyShift;
    if (key.modifiers() & Qt::MetaModifier) modifiers |= kHotkeyWin;
    return RecordHotkey(modifiers, KeyNameOf(key.key()));
}

bool IsMessage(AdvancedRole role) {
    return role == AdvancedRole::Message || role == AdvancedRole::QuietMessage;
}

}  // namespace

Form_高级设置::Form_高级设置(AdvancedDialog& core, QWidget* owner, std::function<void()> closing)
    : QDialog(owner), m_core(core), m_closing(std::move(closing)) {
    setObjectName(QStringLiteral("Form_高级设置"));
    setWindowTitle(FromUtf8(kAdvancedDialog.caption));
    MakeFixedDialog(*this, kAdvancedDialog, Qt::Dialog);
    setWindowModality(Qt::WindowModal);

    m_widgets = BuildTable(
        *this, kAdvancedDialog, [this](const ControlSpec& control, QWidget* parent) -> QWidget* {
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
                    if (static_cast<AdvancedRole>(control.role) == AdvancedRole::Hotkey) {
                        m_hotkeyField = field;
                        m_hotkeyControl = &control;
                        field->installEventFilter(this);
                    }
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
                    if (IsMessage(static_cast<AdvancedRole>(control.role))) {
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

bool Form_高级设置::eventFilter(QObject* watched, QEvent* event) {
    const bool shortcut = event->type() == QEvent::ShortcutOverride;
    if (watched != m_hotkeyField || (!shortcut && event->type() != QEvent::KeyPress)) {
        return QDialog::eventFilter(watched, event);
    }
    const std::optional<std::string> text = Recorded(static_cast<const QKeyEvent&>(*event));
    if (!text) return QDialog::eventFilter(watched, event);
    // Accepting the override keeps a combination such as Alt+T (试听) from the dialog's
    // access keys; the key then comes as a press.
    event->accept();
    if (!shortcut) {
        m_core.Edit(*m_hotkeyControl, *text);
        Render();
        static_cast<QLineEdit*>(m_hotkeyField)->end(false);
    }
    return true;
}

void Form_高级设置::OnClick(const ControlSpec& control) {
    if (m_closed) return;
    m_core.Click(control);
    Render();
    const auto role = static_cast<AdvancedRole>(control.role);
    if ((role == AdvancedRole::Ok || role == AdvancedRole::Apply) &&
        m_core.Fault() != AdvancedRole::None) {
        // The keyboard goes to the field at fault, its text selected for typing over.
        for (const auto& [spec, widget] : m_widgets) {
            if (static_cast<AdvancedRole>(spec->role) != m_core.Fault()) continue;
            widget->setFocus(Qt::OtherFocusReason);
            if (auto* field = qobject_cast<QLineEdit*>(widget)) field->selectAll();
        }
    }
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
                // Greyed, but still chosen as any other: the page refuses it, saying why.
                for (int i = 0; i < box->count(); ++i) {
                    if (!m_core.ChoiceGreyed(*control, i)) continue;
                    box->setItemData(i, box->palette().color(QPalette::Disabled, QPalette::Text),
                                     Qt::ForegroundRole);
                }
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
        // Set before the focus comes to the field at fault, so that it is read with its name.
        if (const QString why = FromUtf8(m_core.Description(*control));
            widget->accessibleDescription() != why) {
            widget->setAccessibleDescription(why);
        }
    }
}

void Form_高级设置::CloseIfDone() {
    if (m_core.IsOpen() || m_closed) return;
    m_closed = true;
    hide();
    if (m_closing) m_closing();
}

}  // namespace tolvane
