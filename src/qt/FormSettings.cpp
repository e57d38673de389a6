#include "qt/FormSettings.h"

#include <QCloseEvent>

#include "qt/DialogFont.h"
#include "qt/QtText.h"

namespace tolvane {

Form_一般设置::Form_一般设置(SettingsDialog& core) : m_core(core) {
    setObjectName(QStringLiteral("Form_一般设置"));
    setWindowTitle(FromUtf8(kSettingsDialog.caption));
    MakeFixedDialog(*this, kSettingsDialog, Qt::Dialog);

    m_widgets =
        BuildTable(*this, kSettingsDialog, [this](const ControlSpec& control, QWidget* parent) {
            QAbstractButton* button = MakeButton(control, parent);
            connect(button, &QAbstractButton::clicked, this,
                    [this, &control] { OnClick(control); });
            return button;
        });
}

void Form_一般设置::Form_Load() {
    m_core.Form_Load();
    Render();
    CentreOnScreen(*this);
    show();
    // Opened by the user's own choice: it takes the keyboard.
    activateWindow();
    FocusFirstControl(m_widgets);
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
    for (const auto& [control, widget] : m_widgets) {
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
    for (const auto& [control, widget] : m_widgets) {
        const auto group = static_cast<SettingsRole>(control->role);
        ShowChecked(*widget, *control, m_core.Checked(*control),
                    IsOptionTabStop(control->index, m_core.Selected(group)));
        widget->setEnabled(m_core.Enabled(*control));
    }
}

void Form_一般设置::UnloadIfClosed() {
    if (!m_core.IsOpen()) Unload();
}

}  // namespace tolvane
