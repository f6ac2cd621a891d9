#pragma once

#include "base/DialogHost.h"
#include "rip/SubtitleSink.h"
#include "subtitles/SubtitleDocument.h"

namespace mirtal {

// The rip engine's view of the subtitle document. A full store is reported
// once, when it first refuses an entry; the rip goes on.
class DocumentSink : public SubtitleSink {
public:
    DocumentSink(SubtitleDocument& document, DialogHost& dialogs)
        : m_document(document), m_dialogs(dialogs) {}

    int count() const override { return m_document.nbSubTitle(); }
    TTimeCode lastStop() const override { return m_document.lastStop(); }
    void closeLast(TTimeCode stop) override { m_document.closeLastEntry(stop); }
    void add(const std::vector<std::string>& lines, TTimeCode start, TTimeCode stop,
             const Rect& rect) override;

    int refused() const { return m_refused; }

private:
    SubtitleDocument& m_document;
    DialogHost& m_dialogs;
    int m_refused = 0;
    bool m_reportedFull = false;
};

} // namespace mirtal
