// The IFO reader's language codes, frame size and palette.
#include "FuzzInput.h"
#include "rip/IfoLanguages.h"
#include "rip/VobSubTrack.h"

using namespace mirtal;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::MemoryFile file(data, size);
    StreamLanguages names;
    IfoReadResult r = readIfoStreamLanguages(file.path(), names);
    if (!r.found) fuzz::broken("the file exists");
    if (r.streamsRead < 0 || r.streamsRead > kSubpictureStreams) fuzz::broken("streams read");
    if (r.ok() != r.message.empty()) fuzz::broken("message only on failure");
    if (streamListTexts(names).size() != size_t(kSubpictureStreams)) fuzz::broken("stream list");
    if (auto title = readIfoTitle(file.path()))
        if (title->width < 352 || title->width > 720 || title->height < 240 || title->height > 576)
            fuzz::broken("a frame size no DVD has");
    return 0;
}
