#pragma once

#include <QDialog>
#include <QPointer>

#include "qt/FormAdvanced.h"
#include "qt/TableDialog.h"
#include "settings/SettingsDialog.h"

namespace tolvane {

// Form_一般设置, built from the layout table; every click goes to the dialog's logic, and the
// controls then show what it holds. Label_高级设置 opens Form_高级设置 over it. (No Q_OBJECT: moc
// cannot read the class name, and the dialog needs no signals of its own.)
class Form_一般设置 final : public QDialog {
public:
    explicit Form_一般设置(SettingsDialog& core);

    // Loads from Settings and shows the dialog centred on the screen.
    void Form_Load();
    // Brings the open dialog to the front.
    void BringForward();
    // Closes without saving (the program's exit).
    void Unload();
    // Shows the logic's state again.
    void Render();

    void reject() override;  // Esc

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void OnClick(const ControlSpec& control);
    void UnloadIfClosed();
    void ShowAdvanced();

    SettingsDialog& m_core;
    QPointer<Form_高级设置> m_advanced;
    TableWidgets m_widgets;
    bool m_unloaded = false;
};

}  // namespace tolvane
