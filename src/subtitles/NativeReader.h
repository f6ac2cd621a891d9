#pragma once

#include "base/DialogHost.h"
#include "base/MessageCatalogue.h"
#include "subtitles/SubtitleDocument.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace mirtal {

struct NativeReadReport {
    bool readFailed = false; // the file could not be read: the document is untouched
    std::string error;
    int entries = 0;        // entries stored
    int errors = 0;         // damaged entries met
    bool cancelled = false; // the user stopped at an error
    bool storeFull = false; // reading stopped at the store's capacity
    size_t replaced = 0;    // characters without a Windows-1252 form, read as '?'
};

// Reads a native subtitle file into the document, replacing its contents
// (the caller has asked before discarding them). Sets the index offset from
// the first number and the extended option from the last time line read.
// A damaged entry asks Cancel / Ignore / Yes to All. A file that cannot be
// read, or holds bytes that are not text in the document's encoding, is
// reported and changes nothing. In UTF-8, characters that Windows-1252
// lacks read as '?' (counted in the report). The text is read in the
// document's encoding, or with detectEncoding in the one its bytes tell;
// a byte order mark always means UTF-8.
NativeReadReport readNativeFile(SubtitleDocument& doc, const std::filesystem::path& path,
                                DialogHost& host, const MessageCatalogue& messages,
                                bool detectEncoding = false);
// The same over Windows-1252 text already in memory; fileName becomes the document's name.
NativeReadReport readNativeText(SubtitleDocument& doc, std::string_view bytes,
                                const std::string& fileName, DialogHost& host,
                                const MessageCatalogue& messages);

} // namespace mirtal
