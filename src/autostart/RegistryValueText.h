#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tolvane {

// Expands environment-variable references in `source` into a buffer of `bufferChars`
// characters that starts filled with NULs, and returns that whole buffer.
using ExpandEnvironment =
    std::function<std::string(const std::string& source, std::size_t bufferChars)>;

// The data text GetRegValue gives for a value of `storedType` whose stored bytes are `stored`
// (exactly as many as the registry reported), starting from the text passed in:
//   REG_SZ: up to the first NUL; REG_EXPAND_SZ: expanded into a buffer of the stored length
//   plus 256, up to the first NUL; REG_MULTI_SZ: all but the last character; REG_BINARY: each
//   byte as upper-case hexadecimal without leading zero, appended to `passedIn`; REG_DWORD and
//   REG_DWORD_BIG_ENDIAN: the first four bytes as a signed little-endian integer in decimal
//   (missing bytes count as zero); any other type: `passedIn` unchanged.
std::string RegValueText(std::uint32_t storedType, std::string_view stored,
                         const std::string& passedIn, const ExpandEnvironment& expand);

}  // namespace tolvane
