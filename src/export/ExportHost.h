#pragma once

namespace mirtal {

enum class ProgressionChoice { Next, NoStop, Pause };

// What the picture-saving and show-only actions ask of the user.
class ExportHost {
public:
    virtual ~ExportHost() = default;
    // The bitmap adjustment step before a picture is composed; it may change
    // the output settings. Returns false when the user skips this picture.
    virtual bool adjustBitmap() = 0;
    // Waits while a shown picture is on display (show-only action).
    virtual ProgressionChoice waitAtProgression() = 0;
};

} // namespace mirtal
