#include "qt/LinuxUpdateLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <utility>

namespace tolvane {
namespace {

using DoUpdateEntry = void (*)(std::uint32_t window, const char* address);

}  // namespace

LinuxUpdateLibrary::LinuxUpdateLibrary(std::string programFolder)
    : m_programFolder(std::move(programFolder)) {}

void LinuxUpdateLibrary::DoUpdate(std::uint32_t window, const std::string& address) {
    if (m_programFolder.empty() || m_programFolder.front() != '/') return;
    std::string path = m_programFolder;
    if (path.back() != '/') path += '/';
    path += "libupdate.so";
    if (::access(path.c_str(), F_OK) != 0) return;
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return;
    auto entry = reinterpret_cast<DoUpdateEntry>(::dlsym(library, "DoUpdate"));
    if (entry == nullptr) {
        ::dlclose(library);
        return;
    }
    entry(window, address.c_str());
}

}  // namespace tolvane
