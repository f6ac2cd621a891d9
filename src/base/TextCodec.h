#pragma once

#include "base/Result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mirtal {

// The core keeps text as 8-bit Windows-1252 bytes, as the files hold it.
// These convert at the edges (terminal, windows, UTF-8 files).
std::string cp1252ToUtf8(std::string_view text);
// Characters without a Windows-1252 form become '?'; invalid UTF-8 bytes are
// taken as Windows-1252 bytes themselves.
std::string utf8ToCp1252(std::string_view text);

// How the text files we write and read hold their characters: the 8-bit
// code page the program always wrote, or UTF-8 (written without a byte
// order mark).
enum class TextEncoding : uint8_t { Cp1252 = 0, Utf8 = 1 };

const char* encodingName(TextEncoding encoding); // "Windows-1252", "UTF-8"

// Text held as Windows-1252, as the file holds it in that encoding.
std::string encodeText(std::string_view cp1252, TextEncoding encoding);
// A file's bytes as Windows-1252 text. In UTF-8 a leading byte order mark
// is skipped and characters that Windows-1252 lacks become '?' (counted in
// `replaced`); bytes that are not UTF-8 fail, the error naming the line and
// byte where they start.
ValueResult<std::string> decodeText(std::string_view bytes, TextEncoding encoding,
                                    size_t* replaced = nullptr);

// The encoding a file's bytes tell: UTF-8 when they begin with a byte order
// mark, or are valid UTF-8 with characters beyond ASCII (which 8-bit text
// practically never is); Windows-1252 otherwise.
TextEncoding detectTextEncoding(std::string_view bytes);

} // namespace mirtal
