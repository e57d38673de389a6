#pragma once

#include <QDialog>
#include <QEventLoop>
#include <QIcon>

namespace tolvane {

// frmAbout, built from its layout table. Shown modally: the command that shows it returns
// when it is closed, while the tray icon and the timers go on working.
class frmAbout final : public QDialog {
public:
    explicit frmAbout(const QIcon& icon);

    // Shows the box and returns once it is closed (OK, Enter, Esc, the close box or Unload).
    void ShowModal();
    void BringForward();
    void Unload();

private:
    QEventLoop m_loop;
};

}  // namespace tolvane
