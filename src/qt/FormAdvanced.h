#pragma once

#include <QDialog>

#include <functional>

#include "qt/TableDialog.h"
#include "settings/AdvancedDialog.h"

namespace tolvane {

// Form_高级设置, built from its layout table: modal over the settings dialog. Clicks, typing in
// the time fields and moves of the slider go to the page's logic, and the controls then show
// what it holds. Closed, it hides and stays until the next showing replaces it. (No Q_OBJECT:
// moc cannot read the class name, and the page needs no signals of its own.)
class Form_高级设置 final : public QDialog {
public:
    // `closing` runs as the page closes.
    Form_高级设置(AdvancedDialog& core, QWidget* owner, std::function<void()> closing);

    // Loads from Settings and shows the page centred on the screen.
    void Form_Load();

    void reject() override;  // Esc

protected:
    void closeEvent(QCloseEvent* event) override;
    // The hotkey field's keys: a combination is recorded rather than typed.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnClick(const ControlSpec& control);
    void Render();
    void CloseIfDone();

    AdvancedDialog& m_core;
    std::function<void()> m_closing;
    TableWidgets m_widgets;
    QWidget* m_hotkeyField = nullptr;
    const ControlSpec* m_hotkeyControl = nullptr;
    bool m_closed = false;
};

}  // namespace tolvane
