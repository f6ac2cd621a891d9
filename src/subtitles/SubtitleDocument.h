#pragma once

#include "subtitles/BannerClock.h"
#include "subtitles/OutputOptions.h"
#include "subtitles/SplitWindow.h"
#include "subtitles/SubtitleFormat.h"
#include "subtitles/SubtitleList.h"
#include "subtitles/SubtitleStore.h"

#include <filesystem>
#include <string>
#include <vector>

namespace mirtal {

// The subtitle store with its rendering in the chosen output format and the
// state of the document (file name, modified flag, split window). The
// Subtitles window shows list() and drives the flows of DocumentFlows.h; the
// rip engine adds entries and closes the last one when its stop is learnt.
class SubtitleDocument {
public:
    static constexpr const char* kNewFileName = "New File";

    explicit SubtitleDocument(const BannerClock& clock);
    SubtitleDocument(const SubtitleDocument&) = delete;
    SubtitleDocument& operator=(const SubtitleDocument&) = delete;

    // The store. Corrections change entries in place, then call refreshList.
    const SubtitleStore& store() const { return m_store; }
    SubtitleStore& store() { return m_store; }
    int nbSubTitle() const { return m_store.nbSubTitle(); }

    // Stores one entry and, with show, renders it at once (scrolling to it).
    // A full store refuses the entry: the caller reports storeFullMessage().
    AddStatus addSubtitle(const std::vector<std::string>& lines, bool show, TTimeCode start,
                          TTimeCode stop, const Rect& rect);
    // The stop of the newest entry; zero when the store is empty or the stop is open.
    TTimeCode lastStop() const;
    // The newest entry's stop became known: re-render it with that stop.
    void closeLastEntry(TTimeCode stop);

    // Rendering.
    const SubtitleList& list() const { return m_list; }
    SubtitleList& list() { return m_list; }
    void addEntry(int index, bool scroll);
    void refreshList();
    void removeLastEntry();

    // Options: live ones are edited here directly; the format dialog keeps its
    // own copy of the stored ones and writes them back on Convert.
    OutputOptions& options() { return m_options; }
    const OutputOptions& options() const { return m_options; }
    TOutputFormat outputFormat() const { return m_format; }
    // Takes effect at the next refreshList, as the format dialog's Convert does.
    void setOutputFormat(TOutputFormat format);
    const SubtitleFormat& format() const { return formatFor(m_format); }

    // Document state.
    bool isModified() const { return m_modified; }
    void setModified(bool modified);
    const std::string& fileName() const { return m_fileName; }
    // Also sets the caption and the save dialog's initial name.
    void setFileName(const std::string& name);
    const std::string& caption() const { return m_caption; }
    const std::string& saveInitialName() const { return m_saveInitialName; }
    // The index of the entry rendered last, "0" when empty.
    const std::string& indexLabel() const { return m_indexLabel; }

    const SplitWindow& split() const { return m_split; }
    bool splitActive() const { return m_split.SplitActive; }
    TTimeCode splitStart() const { return m_split.SplitStart; }
    TTimeCode splitStop() const { return m_split.SplitStop; }
    void setSplit(const SplitWindow& split) { m_split = split; }

    // The window's scroll-down box and whether the window is on screen: both
    // decide whether a newly rendered entry is selected.
    bool AutoScrollDown = true;
    bool ListShown = false;
    // Initial folders of the save and open dialogs.
    std::filesystem::path SaveFolder;
    std::filesystem::path OpenFolder;

    // Empties the store and the list and clears Modified, without asking.
    void discardAll();
    // The bytes Save As writes for the current format.
    std::string fileText() const;
    RenderContext context() const { return {m_store, m_options, m_split, m_clock}; }

private:
    void setIndexLabel(std::string text);
    void notifyState();

    const BannerClock& m_clock;
    SubtitleStore m_store;
    SubtitleList m_list;
    OutputOptions m_options;
    TOutputFormat m_format = ofNative;
    SplitWindow m_split;
    bool m_modified = false;
    std::string m_fileName;
    std::string m_caption;
    std::string m_saveInitialName;
    std::string m_indexLabel = "0";
    // What the last addEntry appended, so removeLastEntry takes exactly that.
    int m_lastRenderedIndex = 0;
    size_t m_lastRenderedLines = 0;
    bool m_refreshing = false;
};

} // namespace mirtal
