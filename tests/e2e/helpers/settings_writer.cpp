// Saves settings through the program's own store (Linux or Windows), for the crash-safety
// tests.
//   settings_writer FILE once VALUE    stores the five numeric keys as VALUE once; prints
//                                      ErrorMsg and exits 1 when a write was refused
//   settings_writer FILE loop A B      stores them as A, then as B, and so on until killed
#include <csignal>
#include <cstdio>
#include <string>

#include "settings/ReadWriteConfig.h"
#include "settings/SettingsTable.h"
#ifdef _WIN32
#include "win32/Win32ProfileStore.h"
using Store = tolvane::Win32ProfileStore;
#else
#include "qt/LinuxProfileStore.h"
using Store = tolvane::LinuxProfileStore;
#endif

namespace {

bool StoreAll(tolvane::读写配置& config, const std::string& value) {
    bool ok = true;
    for (const tolvane::IntSetting& setting : tolvane::kIntSettings) {
        ok = config.WriteString(tolvane::kSettingsSection, setting.key, value) && ok;
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
#ifdef SIGXFSZ
    // A file-size limit must show as a refused write, not end the process.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    Store store;
    tolvane::读写配置 config(store);
    config.SpecifyIni(argv[1]);
    const std::string mode = argv[2];
    if (mode == "once") {
        const bool ok = StoreAll(config, argv[3]);
        std::printf("%s\n", config.ErrorMsg.c_str());
        return ok ? 0 : 1;
    }
    if (mode == "loop" && argc >= 5) {
        for (unsigned round = 0;; ++round) StoreAll(config, argv[3 + round % 2]);
    }
    return 2;
}
