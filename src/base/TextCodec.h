#pragma once

#include <string>
#include <string_view>

namespace mirtal {

// The core keeps text as 8-bit Windows-1252 bytes, as the files hold it.
// These convert at the edges (terminal, windows, UTF-8 files).
std::string cp1252ToUtf8(std::string_view text);
// Characters without a Windows-1252 form become '?'; invalid UTF-8 bytes are
// taken as Windows-1252 bytes themselves.
std::string utf8ToCp1252(std::string_view text);

} // namespace mirtal
