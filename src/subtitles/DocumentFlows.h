#pragma once

#include "base/DialogHost.h"
#include "base/Files.h"
#include "base/MessageCatalogue.h"
#include "subtitles/SubtitleDocument.h"

#include <filesystem>
#include <string>

namespace mirtal {

enum class FlowResult { Done, Cancelled, Failed };

// The save dialog's filter and default extension for the current format, its
// initial folder and name.
FileDialogRequest saveDialogRequest(const SubtitleDocument& doc);
FileDialogRequest openDialogRequest(const SubtitleDocument& doc);

// The file for the current format as its bytes, in the document's encoding.
std::string encodedFileText(const SubtitleDocument& doc);

// Writes the file for the current format atomically. On success the document
// is no longer modified and takes the file's name; on failure nothing about
// the document changes and any old file stays whole.
Result saveDocumentTo(SubtitleDocument& doc, const std::filesystem::path& path);

// File > Save As: nothing with an empty list; asks before replacing a file;
// reports a failed write.
FlowResult saveDocumentAs(SubtitleDocument& doc, DialogHost& host,
                          const MessageCatalogue& messages);
// File > Open: asks before discarding a modified document, then reads a native file.
FlowResult openDocumentAsking(SubtitleDocument& doc, DialogHost& host,
                              const MessageCatalogue& messages);
// File > Clear, also used by the job setup dialog: asks while modified.
FlowResult clearDocumentAsking(SubtitleDocument& doc, DialogHost& host,
                               const MessageCatalogue& messages);

} // namespace mirtal
