#include <unistd.h>

#include <QApplication>

#include <climits>
#include <string>

#include "qt/AlsaClipPlayer.h"
#include "qt/FormMain.h"
#include "qt/LinuxProfileStore.h"
#include "qt/LinuxUpdateLibrary.h"
#include "qt/QtClock.h"
#include "qt/QtDateTimeFormatter.h"
#include "qt/QtLocale.h"
#include "qt/QtMessagePump.h"
#include "qt/SingleInstance.h"

namespace {

// The folder of the executable itself, whatever the current folder or a symlink used to start
// it.
std::string ExecutableFolder() {
    char buffer[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return ".";
    std::string path(buffer, static_cast<std::size_t>(length));
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
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
    const std::string folder = ExecutableFolder();
    tolvane::LinuxUpdateLibrary update(folder);
    const tolvane::ShellServices services{profiles, clock,     player,  pump,
                                          locale,   formatter, nullptr, &update};

    tolvane::Form_Main form(services, tolvane::ProgramFolder{folder, '/'});
    form.Form_Load();
    return QApplication::exec();
}
