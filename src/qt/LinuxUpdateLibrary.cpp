#include "qt/LinuxUpdateLibrary.h"

#include <dlfcn.h>

namespace tolvane {
namespace {

using DoUpdateEntry = void (*)(std::uint32_t window, const char* address);

}  // namespace

LinuxUpdateLibrary::LinuxUpdateLibrary(const ProgramFolder& folder)
    : m_path(folder.Join("libupdate.so")) {}

void LinuxUpdateLibrary::DoUpdate(std::uint32_t window, const std::string& address) {
    if (!m_path.starts_with('/')) return;
    void* library = ::dlopen(m_path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return;
    auto entry = reinterpret_cast<DoUpdateEntry>(::dlsym(library, "DoUpdate"));
    if (entry == nullptr) {
        ::dlclose(library);
        return;
    }
    entry(window, address.c_str());
}

}  // namespace tolvane
