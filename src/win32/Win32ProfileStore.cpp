#include "win32/Win32ProfileStore.h"

#include <windows.h>

#include <vector>

#include "settings/IniText.h"
#include "settings/TemporaryFile.h"
#include "win32/TextConversion.h"

namespace tolvane {
namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }
    bool Close() {
        const bool ok = !IsOpen() || CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE m_handle;
};

bool CopyAll(HANDLE from, HANDLE to) {
    char buffer[16384];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(from, buffer, sizeof buffer, &read, nullptr)) return false;
        if (read == 0) return true;
        DWORD written = 0;
        if (!WriteFile(to, buffer, read, &written, nullptr) || written != read) return false;
    }
}

bool HasEnded(DWORD pid) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process == nullptr) return GetLastError() == ERROR_INVALID_PARAMETER;
    const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

// The temporary files of `path` whose writers were killed before they finished; nobody else
// will ever finish or remove them.
void RemoveAbandonedTemporaries(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = path.substr(folder.size());
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(Utf8ToWide(path + ".tmp*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string entry = WideToUtf8(found.cFileName);
        const std::uint32_t owner = TemporaryFileOwner(entry, name);
        if (owner != 0 && owner != GetCurrentProcessId() && HasEnded(owner) &&
            (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            DeleteFileW(Utf8ToWide(folder + entry).c_str());
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// A fresh temporary file beside `path` holding its bytes (none when it does not exist); its
// name, or empty when none could be made.
std::string CopyToTemporary(const std::string& path, bool exists) {
    FileHandle source(exists ? CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                             : INVALID_HANDLE_VALUE);
    if (exists && !source.IsOpen()) return {};
    for (unsigned attempt = 0; attempt < 16; ++attempt) {
        const std::string temp = TemporaryFileName(path, GetCurrentProcessId(), attempt);
        FileHandle copy(CreateFileW(Utf8ToWide(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!copy.IsOpen()) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            return {};
        }
        const bool copied = !exists || CopyAll(source.Get(), copy.Get());
        if (!copy.Close() || !copied) {
            DeleteFileW(Utf8ToWide(temp).c_str());
            return {};
        }
        return temp;
    }
    return {};
}

bool Flush(const std::string& file) {
    FileHandle handle(CreateFileW(Utf8ToWide(file).c_str(), GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return handle.IsOpen() && FlushFileBuffers(handle.Get()) && handle.Close();
}

// Makes `folder` and the parents it lacks.
void MakeFolders(const std::string& folder) {
    const std::wstring wide = Utf8ToWide(folder);
    for (std::size_t end = wide.find_first_of(L"\\/", 3);;
         end = wide.find_first_of(L"\\/", end + 1)) {
        CreateDirectoryW(wide.substr(0, end).c_str(), nullptr);
        if (end == std::wstring::npos) return;
    }
}

}  // namespace

std::string Win32ProfileStore::GetString(std::string_view section, std::string_view key,
                                         std::string_view defaultValue, std::int32_t size,
                                         const std::string& file) {
    if (size <= 0) return {};
    std::vector<char> buffer(static_cast<std::size_t>(size), '\0');
    const DWORD copied = GetPrivateProfileStringA(
        Utf8ToAnsi(section).c_str(), Utf8ToAnsi(key).c_str(), Utf8ToAnsi(defaultValue).c_str(),
        buffer.data(), static_cast<DWORD>(size), Utf8ToAnsi(file).c_str());
    const std::size_t length = std::min<std::size_t>(copied, buffer.size() - 1);
    return AnsiToUtf8(std::string_view(buffer.data(), length));
}

std::int32_t Win32ProfileStore::GetInt(std::string_view section, std::string_view key,
                                       std::int32_t defaultValue, const std::string& file) {
    return static_cast<std::int32_t>(GetPrivateProfileIntA(Utf8ToAnsi(section).c_str(),
                                                           Utf8ToAnsi(key).c_str(), defaultValue,
                                                           Utf8ToAnsi(file).c_str()));
}

bool Win32ProfileStore::WriteString(std::string_view section, std::string_view key,
                                    std::string_view value, const std::string& file) {
    // The profile functions would store these as broken lines.
    if (!ini::IsStorable(section, key, value)) return false;
    if (!m_ownFolder.empty() && file.starts_with(m_ownFolder + "\\") &&
        GetFileAttributesW(Utf8ToWide(m_ownFolder).c_str()) == INVALID_FILE_ATTRIBUTES) {
        MakeFolders(m_ownFolder);
    }
    // The profile functions rewrite the file in place, so a kill in between empties it. They
    // edit a copy here instead, which then replaces the file whole: every byte as they would
    // have written it, and at every moment either the old file or the new one.
    const DWORD attributes = GetFileAttributesW(Utf8ToWide(file).c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return false;
    }
    const std::string temp = CopyToTemporary(file, exists);
    if (temp.empty()) return false;
    const std::wstring wideTemp = Utf8ToWide(temp);
    const bool edited =
        WritePrivateProfileStringA(Utf8ToAnsi(section).c_str(), Utf8ToAnsi(key).c_str(),
                                   Utf8ToAnsi(value).c_str(), Utf8ToAnsi(temp).c_str()) != 0 &&
        Flush(temp);
    if (edited && exists) SetFileAttributesW(wideTemp.c_str(), attributes);  // hidden, say
    const bool stored = edited && MoveFileExW(wideTemp.c_str(), Utf8ToWide(file).c_str(),
                                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!stored) {
        DeleteFileW(wideTemp.c_str());
        return false;
    }
    RemoveAbandonedTemporaries(file);
    return true;
}

}  // namespace tolvane
