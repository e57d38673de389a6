#pragma once

#include <string>
#include <string_view>

namespace tolvane {

// The core holds UTF-8; Windows takes UTF-16 or the ANSI code page (GBK on Chinese systems).
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
std::string Utf8ToAnsi(std::string_view text);
std::string AnsiToUtf8(std::string_view text);

}  // namespace tolvane
