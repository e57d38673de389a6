#include "qt/LinuxUpdateLibrary.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvane {
namespace {

using DoUpdateEntry = void (*)(std::uint32_t window, const char* address);

}  // namespace

LinuxUpdateLibrary::LinuxUpdateLibrary(const ProgramFolder& folder)
    : m_path(folder.Join("libupdate.so")) {}

FileDescriptor LinuxUpdateLibrary::OpenTrusted(const std::string& path) {
    FileDescriptor file = OpenForReading(path, false);
    struct stat st {};
    if (!file.IsOpen() || ::fstat(file.Get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        (st.st_uid != ::geteuid() && st.st_uid != 0) || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        return {};
    }
    return file;
}

void LinuxUpdateLibrary::DoUpdate(std::uint32_t window, const std::string& address) {
    if (!m_path.starts_with('/')) return;
    const FileDescriptor file = OpenTrusted(m_path);
    if (!file.IsOpen()) return;
    // Through the descriptor the loader maps the very file that was checked, even when the
    // name has been given to another file since.
    const std::string checked = "/proc/self/fd/" + std::to_string(file.Get());
    void* library = ::dlopen(checked.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return;
    auto entry = reinterpret_cast<DoUpdateEntry>(::dlsym(library, "DoUpdate"));
    if (entry == nullptr) {
        ::dlclose(library);
        return;
    }
    entry(window, address.c_str());
}

}  // namespace tolvane
