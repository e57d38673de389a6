#include "qt/FormMain.h"

#include <QDir>

#include <utility>

namespace tolvane {

Form_Main::Form_Main(const ShellServices& services, ProgramFolder folder)
    : m_core(services, std::move(folder)) {
    setObjectName(WindowTitle());
    m_timer更新托盘显示时间.setInterval(1000);
    m_timer自动升级.setInterval(2000);
    m_timer自动升级.setSingleShot(true);
    m_timer自动校时.setInterval(1000);
    // Re-armed on every tick so that each one falls just after a second boundary.
    m_timer自动报时.setSingleShot(true);
    m_timer自动报时.setTimerType(Qt::PreciseTimer);

    connect(&m_timer更新托盘显示时间, &QTimer::timeout, this,
            &Form_Main::Timer_更新托盘显示时间_Timer);
    connect(&m_timer自动报时, &QTimer::timeout, this, &Form_Main::Timer_自动报时_Timer);
    connect(&m_timer自动升级, &QTimer::timeout, this, &Form_Main::Timer_自动升级_Timer);
    connect(&m_timer自动校时, &QTimer::timeout, this, &Form_Main::Timer_自动校时_Timer);
}

void Form_Main::Form_Load() {
    const ShellState& state = m_core.Load();
    m_timer更新托盘显示时间.start();
    m_timer自动升级.start();
    Render(state);
    QDir::setCurrent(QString::fromStdString(m_core.Folder().path));
}

void Form_Main::Render(const ShellState& state) {
    if (!state.announceTimerEnabled) {
        m_timer自动报时.stop();
    } else if (!m_timer自动报时.isActive()) {
        ArmAnnounceTimer();
    }
    if (!state.syncTimerEnabled) {
        m_timer自动校时.stop();
    } else if (!m_timer自动校时.isActive()) {
        m_timer自动校时.start();
    }
}

void Form_Main::ArmAnnounceTimer() { m_timer自动报时.start(m_core.AnnounceTickDelay()); }

void Form_Main::Timer_更新托盘显示时间_Timer() {}

void Form_Main::Timer_自动报时_Timer() {
    // Armed again before speaking, so ticks keep coming between the clips.
    ArmAnnounceTimer();
    m_core.AnnounceTick();
}

void Form_Main::Timer_自动升级_Timer() {}

void Form_Main::Timer_自动校时_Timer() {}

}  // namespace tolvane
