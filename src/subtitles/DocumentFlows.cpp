#include "subtitles/DocumentFlows.h"

#include "subtitles/NativeReader.h"

#include <system_error>

namespace mirtal {

namespace fs = std::filesystem;

FileDialogRequest saveDialogRequest(const SubtitleDocument& doc) {
    FileDialogRequest r;
    r.filter = doc.format().saveFilter();
    r.defaultExtension = doc.format().extension();
    r.initialFolder = doc.SaveFolder;
    r.initialName = doc.saveInitialName();
    return r;
}

FileDialogRequest openDialogRequest(const SubtitleDocument& doc) {
    FileDialogRequest r;
    r.filter = "Mirtal / SubRip File (*.vtx;*.srt)|*.vtx;*.srt|All (*.*)|*.*";
    r.defaultExtension = "vtx";
    r.initialFolder = doc.OpenFolder;
    return r;
}

std::string encodedFileText(const SubtitleDocument& doc) {
    return encodeText(doc.fileText(), doc.format().fileEncoding(doc.options().Encoding));
}

Result saveDocumentTo(SubtitleDocument& doc, const fs::path& path) {
    Result result = writeFileAtomic(path, encodedFileText(doc));
    if (!result) return result;
    doc.setModified(false);
    doc.setFileName(path.string());
    return result;
}

FlowResult saveDocumentAs(SubtitleDocument& doc, DialogHost& host,
                          const MessageCatalogue& messages) {
    if (doc.list().empty()) return FlowResult::Cancelled;
    std::optional<fs::path> chosen = host.chooseSaveFile(saveDialogRequest(doc));
    if (!chosen) return FlowResult::Cancelled;
    std::error_code ec;
    if (fs::exists(*chosen, ec)) {
        std::string text = messages.text(Message::TextFileBeforeName) +
                           chosen->filename().string() +
                           messages.text(Message::TextFileExistsReplace);
        if (host.ask(MessageKind::Warning, {Answer::Yes, Answer::No}, text) != Answer::Yes)
            return FlowResult::Cancelled;
    }
    doc.SaveFolder = chosen->parent_path();
    Result result = saveDocumentTo(doc, *chosen);
    if (!result) {
        host.ask(MessageKind::Warning, {Answer::Ok}, result.error);
        return FlowResult::Failed;
    }
    return FlowResult::Done;
}

FlowResult openDocumentAsking(SubtitleDocument& doc, DialogHost& host,
                              const MessageCatalogue& messages) {
    if (doc.isModified()) {
        std::string text = messages.text(Message::TextNotSavedOpen) + "\r" +
                           messages.text(Message::ReallyOpenAnother);
        if (host.ask(MessageKind::Confirmation, {Answer::Yes, Answer::No}, text) != Answer::Yes)
            return FlowResult::Cancelled;
    }
    doc.setModified(false);
    std::optional<fs::path> chosen = host.chooseOpenFile(openDialogRequest(doc));
    std::error_code ec;
    if (!chosen || !fs::exists(*chosen, ec)) return FlowResult::Cancelled;
    doc.OpenFolder = chosen->parent_path();
    NativeReadReport report = readNativeFile(doc, *chosen, host, messages);
    return report.readFailed ? FlowResult::Failed : FlowResult::Done;
}

FlowResult clearDocumentAsking(SubtitleDocument& doc, DialogHost& host,
                               const MessageCatalogue& messages) {
    if (doc.isModified()) {
        std::string text = messages.text(Message::TextNotSavedClear) + "\r" +
                           messages.text(Message::ReallyClearText);
        if (host.ask(MessageKind::Confirmation, {Answer::Yes, Answer::No}, text) != Answer::Yes)
            return FlowResult::Cancelled;
    }
    doc.discardAll();
    doc.setFileName(SubtitleDocument::kNewFileName);
    doc.refreshList();
    return FlowResult::Done;
}

} // namespace mirtal
