#pragma once

// The title set's IFO as the DVD players' library reads it (private to the
// rip library: its headers stay out of the rest of the program).

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <filesystem>
#include <memory>
#include <optional>

namespace mirtal {

struct DvdCloser {
    void operator()(dvd_reader_t* d) const { DVDClose(d); }
};
struct IfoCloser {
    void operator()(ifo_handle_t* h) const { ifoClose(h); }
};

struct OpenTitleSet {
    std::unique_ptr<dvd_reader_t, DvdCloser> dvd;
    std::unique_ptr<ifo_handle_t, IfoCloser> vts;
};

// nn of VTS_nn_0.IFO (letter case ignored); 0 for any other name.
int titleSetNumber(const std::string& name);

// The title set of a VTS_nn_0.IFO with its program chains; none when the name
// is no title set's, or the library cannot read it. The library's complaints
// (no CSS library, a damaged IFO) are kept off the terminal.
std::optional<OpenTitleSet> openTitleSet(const std::filesystem::path& ifo);

} // namespace mirtal
