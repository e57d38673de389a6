#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include "app/MainWindowCore.h"

namespace tolvane {

inline constexpr char kMainWindowTitle[] = "Tolvane Ver:3.0.0.0";

// The hidden main window: owns the timers and, through the core, all decisions.
class Form_Main final : public QObject {
    Q_OBJECT

public:
    Form_Main(const ShellServices& services, ProgramFolder folder);

    // The start-up sequence; the window is never shown.
    void Form_Load();

    QString WindowTitle() const { return QString::fromUtf8(kMainWindowTitle); }

private:
    void Timer_更新托盘显示时间_Timer();
    void Timer_自动报时_Timer();
    void Timer_自动升级_Timer();
    void Timer_自动校时_Timer();
    void ArmAnnounceTimer();
    void Render(const ShellState& state);

    MainWindowCore m_core;
    QTimer m_timer更新托盘显示时间;
    QTimer m_timer自动报时;
    QTimer m_timer自动升级;
    QTimer m_timer自动校时;
};

}  // namespace tolvane
