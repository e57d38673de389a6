#include "qt/FormSettings.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <map>

#include "qt/DialogFont.h"
#include "qt/QtText.h"

namespace tolvane {

Form_一般设置::Form_一般设置(SettingsDialog& core) : m_core(core) {
    setObjectName(QStringLiteral("Form_一般设置"));
    setWindowTitle(FromUtf8(kSettingsDialog.caption));
    MakeFixedDialog(*this, kSettingsDialog, Qt::Dialog);

    setStyleSheet(FrameStyleSheet());
    // Frames first, so that the controls inside can be placed relative to them.
    std::map<std::string_view, QWidget*> frames;
    for (const ControlSpec& control : kSettingsControls) {
        if (control.kind != ControlKind::GroupFrame) continue;
        auto* frame = new QGroupBox(FromUtf8(control.caption), this);
        frame->setObjectName(FromUtf8(control.name));
        frame->setGeometry(ToQRect(LocalPixels(control)));
        frames[control.name] = frame;
    }
    std::vector<const ControlSpec*> byTab;
    for (const ControlSpec& control : kSettingsControls) {
        if (control.kind == ControlKind::GroupFrame || control.Has(kLeftOut)) continue;
        byTab.push_back(&control);
    }
    std::sort(byTab.begin(), byTab.end(),
              [](const ControlSpec* a, const ControlSpec* b) { return a->tab < b->tab; });

    QWidget* previous = nullptr;
    for (const ControlSpec* control : byTab) {
        QWidget* parent = control->parent.empty() ? this : frames.at(control->parent);
        const QString caption = FromUtf8(control->caption);
        QAbstractButton* button = nullptr;
        switch (control->kind) {
            case ControlKind::OptionButton:
                button = new QRadioButton(caption, parent);
                break;
            case ControlKind::CheckBox:
                button = new QCheckBox(caption, parent);
                break;
            default: {
                auto* push = new QPushButton(caption, parent);
                push->setDefault(control->Has(kDefaultButton));
                push->setAutoDefault(true);
                if (control->kind == ControlKind::LinkLabel) {
                    // A link the keyboard reaches: blue text, a dotted frame when focused.
                    push->setCursor(Qt::PointingHandCursor);
                    push->setStyleSheet(QStringLiteral(
                        "QPushButton { color: rgb(0, 0, 255); border: 1px solid transparent;"
                        " background: transparent; text-align: left; padding: 0px; }"
                        "QPushButton:focus { border: 1px dotted rgb(0, 0, 255); }"));
                }
                button = push;
                break;
            }
        }
        button->setObjectName(FromUtf8(control->name) +
                              (control->index >= 0 ? QString::number(control->index) : QString()));
        button->setGeometry(ToQRect(LocalPixels(*control)));
        if (!control->tooltip.empty()) button->setToolTip(FromUtf8(control->tooltip));
        button->setEnabled(!control->Has(kDisabledAtLoad));
        connect(button, &QAbstractButton::clicked, this, [this, control] { OnClick(*control); });
        if (previous != nullptr) setTabOrder(previous, button);
        previous = button;
        m_buttons.emplace_back(control, button);
    }
}

void Form_一般设置::Form_Load() {
    m_core.Form_Load();
    Render();
    CentreOnScreen(*this);
    show();
    // Opened by the user's own choice: it takes the keyboard.
    activateWindow();
    // The first control in the tab order has the focus, as when a form opens.
    if (!m_buttons.empty()) m_buttons.front().second->setFocus(Qt::OtherFocusReason);
}

void Form_一般设置::BringForward() {
    show();
    raise();
    activateWindow();
}

void Form_一般设置::Unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    if (m_advanced) m_advanced->hide();
    hide();
    deleteLater();
}

void Form_一般设置::reject() {
    for (const auto& [control, button] : m_buttons) {
        if (control->Has(kCancelButton)) {
            OnClick(*control);
            return;
        }
    }
}

void Form_一般设置::closeEvent(QCloseEvent* event) {
    // The close box unloads without saving; it is not the Cancel button.
    m_core.CloseBox();
    event->accept();
    UnloadIfClosed();
}

void Form_一般设置::OnClick(const ControlSpec& control) {
    if (m_unloaded) return;
    m_core.Click(control);
    Render();
    UnloadIfClosed();
    if (!m_unloaded && m_core.Advanced() != nullptr) ShowAdvanced();
}

void Form_一般设置::ShowAdvanced() {
    if (m_advanced && m_advanced->isVisible()) {
        m_advanced->raise();
        m_advanced->activateWindow();
        return;
    }
    // The last showing's page is hidden, and none of its handlers is running: this click came
    // to the dialog, which the page kept from input while it was open.
    delete m_advanced;
    // 广告设置 follows what the page saved, and the keyboard comes back here (without a window
    // manager nothing else would give it back).
    m_advanced = new Form_高级设置(*m_core.Advanced(), this, [this] {
        Render();
        activateWindow();
    });
    m_advanced->Form_Load();
}

void Form_一般设置::Render() {
    for (const auto& [control, button] : m_buttons) {
        if (control->kind == ControlKind::OptionButton || control->kind == ControlKind::CheckBox) {
            const bool checked = m_core.Checked(*control);
            // An exclusive group refuses to clear its last checked button by itself.
            button->setAutoExclusive(false);
            button->setChecked(checked);
            button->setAutoExclusive(control->kind == ControlKind::OptionButton);
        }
        if (control->kind == ControlKind::OptionButton) {
            const bool stop = IsOptionTabStop(
                control->index, m_core.Selected(static_cast<SettingsRole>(control->role)));
            button->setFocusPolicy(stop ? Qt::StrongFocus : Qt::ClickFocus);
        }
        button->setEnabled(m_core.Enabled(*control));
    }
}

void Form_一般设置::UnloadIfClosed() {
    if (!m_core.IsOpen()) Unload();
}

}  // namespace tolvane
