#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "qt/AlsaSoundStream.h"
#include "qt/ExecutableFolder.h"
#include "qt/FormMain.h"
#include "qt/LinuxAutostartStore.h"
#include "qt/LinuxProfileStore.h"
#include "qt/LinuxSoundFolders.h"
#include "qt/LinuxUpdateLibrary.h"
#include "qt/LinuxUserEnvironment.h"
#include "qt/QtClock.h"
#include "qt/QtDateTimeFormatter.h"
#include "qt/QtLocale.h"
#include "qt/QtMessagePump.h"
#include "qt/QtTimeSocket.h"
#include "qt/QtUiThread.h"
#include "qt/SingleInstance.h"
#include "qt/StartedAgain.h"
#include "qt/TimedateClockSetter.h"
#include "voice/FeederThread.h"

int main(int argc, char** argv) {
    tolvane::SingleInstance instance{std::string(tolvane::kMainWindowTitle)};
    if (!instance.IsFirst()) {
        tolvane::TellRunningCopy(instance.HeldPath());
        std::fwrite(tolvane::kAlreadyRunningLine.data(), 1, tolvane::kAlreadyRunningLine.size(),
                    stderr);
        return 0;
    }

    // Never the current folder: it holds some other program's settings and clips.
    const tolvane::ProgramFolder folder =
        tolvane::FindProgramFolder(tolvane::ProbeThisProcess(argc > 0 ? argv[0] : nullptr));
    if (!folder.IsKnown()) {
        std::fputs(
            "tolvane: cannot tell which folder holds the program; running on default settings, "
            "with the alert sound in place of every clip\n",
            stderr);
    }

    tolvane::ProgramPlaces places = tolvane::PlacesOf(folder);
    if (places.installed && !places.settings.IsKnown()) {
        std::fputs(
            "tolvane: neither XDG_CONFIG_HOME nor HOME names a folder; settings will not "
            "be saved\n",
            stderr);
    }

    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    tolvane::LinuxProfileStore profiles(places.installed ? places.settings.path : std::string());
    tolvane::QtClock clock;
    tolvane::AlsaSoundStream sound;
    tolvane::QtUiThread uiThread;
    tolvane::FeederThread soundThread(uiThread);
    tolvane::QtMessagePump pump;
    tolvane::QtLocale locale;
    tolvane::QtDateTimeFormatter formatter;
    tolvane::LinuxUpdateLibrary update(folder);
    tolvane::QtTimeSocket timeSocket;
    tolvane::TimedateClockSetter clockSetter;
    tolvane::LinuxAutostartStore autostart(tolvane::LinuxAutostartStore::DefaultFolder());
    tolvane::LinuxSoundFolders soundFolders;
    const tolvane::ShellServices services{profiles,    clock,        sound,      soundThread,
                                          pump,        locale,       formatter,  &update,
                                          &timeSocket, &clockSetter, &autostart, &soundFolders};

    tolvane::Form_Main form(services, std::move(places));
    // Listening before the tray icon shows: a start that sees the icon is heard, once the
    // start-up sequence has run.
    const tolvane::StartedAgainListener startedAgain(instance.LockPath(),
                                                     [&form] { form.StartedAgain(); });
    form.Form_Load();
    const int code = QApplication::exec();
    // What the program had to do at exit is done. Qt's name lookups still waiting on a name
    // server (the advert page's, a time server's) would hold the process until they time out:
    // its thread pool waits for them as the application object goes.
    std::fflush(nullptr);
    std::_Exit(code);
}
