#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tolvane {

// One open file descriptor, closed when its holder goes.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(other.Release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    int Get() const { return m_fd; }
    int Release() { return std::exchange(m_fd, -1); }
    // False when there was nothing to close or the close reported an error, which on some file
    // systems is the first word of a failed write.
    bool Close();

private:
    int m_fd = -1;
};

// The folder part of a path: "." for a bare name, "/" for a name at the root.
std::string FolderOf(const std::string& path);

// Makes `folder` and the parents it lacks, private to the user as the XDG base directory rules
// ask; true when it is a folder then.
bool MakePrivateFolders(const std::string& folder);

// Opens for reading and never waits: a FIFO or a device opens at once, to be told apart by
// fstat. With `followLink` false a symbolic link at the path does not open at all.
FileDescriptor OpenForReading(const std::string& path, bool followLink = true);

enum class ReadStatus { Ok, Missing, Failed };

// The whole of a regular file of at most `maxBytes`: Missing when nothing is at the path,
// Failed for whatever else is there (a folder, a FIFO, a larger or unreadable file).
ReadStatus ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& bytes);

// Exactly `length` bytes from `offset`; false at the end of the file or on an error.
bool ReadAt(int fd, std::uint64_t offset, void* buffer, std::size_t length);

// Puts a new file holding `bytes` at `path` so that a crash or power cut leaves either the old
// file or the new one, whole: written beside it under a temporary name, flushed, renamed over
// it, and the folder flushed. Temporary files left by a writer that was killed are removed.
// The new file gets `mode`, or without one what the umask leaves of 0666.
bool ReplaceAtomically(const std::string& path, std::string_view bytes,
                       std::optional<mode_t> mode = std::nullopt);

}  // namespace tolvane
