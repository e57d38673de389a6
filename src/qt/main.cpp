#include <unistd.h>

#include <QApplication>

#include <climits>
#include <string>

#include "qt/AlsaClipPlayer.h"
#include "qt/FormMain.h"
#include "qt/LinuxAutostartStore.h"
#include "qt/LinuxProfileStore.h"
#include "qt/QtClock.h"
#include "qt/QtDateTimeFormatter.h"
#include "qt/QtLocale.h"
#include "qt/QtMessagePump.h"
#include "qt/QtTimeSocket.h"
#include "qt/SingleInstance.h"
#include "qt/TimedateClockSetter.h"

namespace {

// The folder and file name of the executable itself, whatever the current folder or a symlink
// used to start it.
tolvane::ProgramFolder ExecutableFolder() {
    char buffer[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return {".", '/'};
    std::string path(buffer, static_cast<std::size_t>(length));
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", '/'};
    return {slash == 0 ? std::string("/") : path.substr(0, slash), '/', path.substr(slash + 1)};
}

}  // namespace

int main(int argc, char** argv) {
    tolvane::SingleInstance instance{std::string(tolvane::kMainWindowTitle)};
    if (!instance.IsFirst()) return 0;

    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    tolvane::LinuxProfileStore profiles;
    tolvane::QtClock clock;
    tolvane::AlsaClipPlayer player;
    tolvane::QtMessagePump pump;
    tolvane::QtLocale locale;
    tolvane::QtDateTimeFormatter formatter;
    tolvane::QtTimeSocket timeSocket;
    tolvane::TimedateClockSetter clockSetter;
    tolvane::LinuxAutostartStore autostart(tolvane::LinuxAutostartStore::DefaultFolder());
    const tolvane::ShellServices services{profiles,     clock,     player,  pump,
                                          locale,       formatter, nullptr, &timeSocket,
                                          &clockSetter, &autostart};

    tolvane::Form_Main form(services, ExecutableFolder());
    form.Form_Load();
    return QApplication::exec();
}
