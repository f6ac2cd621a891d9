#pragma once

#include "base/Bitmap.h"
#include "base/DialogHost.h"
#include "base/MessageCatalogue.h"
#include "ocr/CharMatrix.h"
#include "ocr/GlyphMatcher.h"
#include "ocr/GlyphNaming.h"
#include "ocr/ItalicText.h"
#include "ocr/LineRecognizer.h"
#include "ocr/OcrHost.h"
#include "ocr/OcrSettings.h"
#include "ocr/OcrState.h"
#include "ocr/Segmentation.h"
#include "ocr/SpaceWidthEstimator.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mirtal {

// Frame drawn around the glyph that is put to the user.
constexpr Colour kGlyphFrameColour = 0x3333FF;
// The text an unknown glyph yields when it cannot be learned: the currency
// sign of Windows-1252, visible and practically never part of a subtitle.
inline const std::string kUnknownGlyphText = "\xA4";

struct OcrOptions {
    // Unknown glyphs are not put to the user nor learned; they read as
    // `placeholder` and are counted (unattended runs).
    bool noAsk = false;
    std::string placeholder = kUnknownGlyphText;
    // The "Show Pict." box: show every cropped picture before it is read.
    bool showPicture = true;
    // Shows a picture in the preview (cropped pictures, and the picture with
    // the questioned glyph framed); textBox() says where it lies inside the
    // subpicture. Unset means no preview.
    std::function<void(const Bitmap24&)> preview;
    // A glyph was learned as this entry number (the matrix editor lists it).
    std::function<void(int)> onLearned;
};

enum class OcrOutcome {
    Added,         // `lines` holds the text of the subpicture
    NoText,        // nothing was read: no subtitle for this subpicture
    Dropped,       // the user dropped it ("Skip This SubPicture"): it is not counted
    ColourSkipped, // the text colour dialog skipped it; the colour stays unchosen
    Pause,         // the user paused: read this subpicture again when the rip goes on
    ChangeColour,  // as Pause, and the text colour is asked for again
    Train,         // a shape is new: read the stream for votes first, then again
};

struct OcrResult {
    OcrOutcome outcome = OcrOutcome::NoText;
    std::vector<std::string> lines; // at most 10, none empty
    Rect textBox;                   // the cropped area inside the subpicture, inclusive
    int glyphs = 0;                 // boxes read
    int learned = 0;                // entries added to the matrix
    int placeholders = 0;           // glyphs that read as the placeholder
};

// What the glyph questions say about the subpicture.
struct PictureInfo {
    uint32_t subpictureNumber = 0;
    int32_t startMs = 0;
};

// Reads one subpicture after another against the character matrix, learning
// unknown glyphs through the host. It keeps nothing between subpictures but
// the matrix and the text colour choice in the OCR state.
class OcrDriver {
public:
    OcrDriver(CharMatrix& matrix, const OcrSettings& settings, OcrState& state, OcrHost& ocrHost,
              DialogHost& dialogs, const MessageCatalogue& messages, OcrOptions options = {});

    // Crops and recolours the work bitmap in place and returns its lines.
    OcrResult ocrSubpicture(Bitmap24& work, const PictureInfo& info = {});

    // The text of a glyph: the closest matching entry, or what the user names it
    // (learned at once). The action says whether to go on (Learn) or not.
    struct Reading {
        GlyphAction action = GlyphAction::Learn;
        std::string text;
        bool learned = false;
        bool placeholder = false;
        bool train = false; // a new shape, and the votes are not in yet
    };
    Reading recognizeGlyph(const Glyph& glyph, const GlyphQuestion& question);
    Reading learnGlyph(const Glyph& glyph, const GlyphQuestion& question);

    // The boxes of the last subpicture.
    const LineTable& lineTable() const { return *m_table; }
    // Where the cropped work bitmap lies inside the subpicture, inclusive.
    const Rect& textBox() const { return m_textBox; }
    OcrOptions& options() { return m_options; }

    // The recogniser that names new shapes (none: every new shape is asked).
    void setRecognizer(LineRecognizer* recognizer) { m_recognizer = recognizer; }
    bool namesGlyphs() const {
        return m_recognizer && m_settings.NameGlyphs != uint8_t(GlyphNaming::Ask);
    }
    // The training pass: subpictures give votes and no text.
    void beginTraining();
    bool training() const { return m_training; }
    // Whether the reading pass met a new shape before any training this job.
    bool wantsTraining() const { return m_wantsTraining; }
    // The end of the training pass: the shapes are settled (GlyphNamer::settle).
    GlyphNamer::Outcome finishTraining();
    const GlyphNamer& namer() const { return m_namer; }
    // Shapes of this rip named by the votes, and questions put to the user.
    int namedAutomatically() const { return m_named; }
    int asked() const { return m_asked; }

    // A new rip: the gaps of the last one no longer count.
    void startJob();
    // With the automatic space width: the gaps seen in this rip, after
    // characters set normally and after those flagged italic.
    const SpaceWidthEstimator& normalGaps() const { return m_normalGaps; }
    const SpaceWidthEstimator& italicGaps() const { return m_italicGaps; }
    // The widths in force for the next subpicture (with the automatic
    // width, the one the corrected gaps are measured against).
    int32_t spaceWidth() const;
    int32_t italicSpaceWidth() const;

private:
    // The glyph texts of one line, in box order.
    struct ReadLine {
        std::vector<std::string> texts;
        std::vector<SlantProfile> slants;
        // The texts as the space widths know them: italic glyphs sit closer
        // than upright ones of the same text, so each style has its own.
        std::vector<std::string> keys;
        bool skipped = false;
    };
    // Chooses the text colour when none is chosen yet; false when the user
    // skipped the choice.
    bool haveTextColour(Bitmap24& work);
    // Reads every glyph of the segmented lines into `lines`; an outcome other
    // than Added ends the subpicture there.
    OcrOutcome readGlyphs(Bitmap24& work, const PictureInfo& info, std::vector<ReadLine>& lines,
                          OcrResult& result);
    // The line's text with its spaces (and italic marks when kept).
    std::string lineText(const ReadLine& read, std::span<const CharBox> boxes) const;
    void countGaps(const LineTable& table, const std::vector<ReadLine>& lines,
                   const PictureInfo& info);
    bool spaceBetween(const CharBox& box, const CharBox& next, const std::string& text,
                      const std::string& nextText) const;

    CharMatrix& m_matrix;
    const OcrSettings& m_settings;
    OcrState& m_state;
    OcrHost& m_ocrHost;
    DialogHost& m_dialogs;
    const MessageCatalogue& m_messages;
    OcrOptions m_options;
    std::unique_ptr<LineTable> m_table;
    Rect m_textBox;
    SpaceWidthEstimator m_normalGaps, m_italicGaps;
    // A subpicture read again after a pause adds its gaps only once.
    std::optional<uint32_t> m_lastCounted;
    LineRecognizer* m_recognizer = nullptr;
    GlyphNamer m_namer;
    bool m_training = false, m_trained = false, m_wantsTraining = false;
    int m_named = 0, m_asked = 0;
};

} // namespace mirtal
