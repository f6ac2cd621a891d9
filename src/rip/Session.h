#pragma once

#include "base/Bitmap.h"
#include "base/MessageCatalogue.h"
#include "export/BmpOutputSettings.h"
#include "export/OutputBitmapComposer.h"
#include "ocr/CharMatrix.h"
#include "ocr/OcrDriver.h"
#include "ocr/OcrSettings.h"
#include "ocr/OcrState.h"
#include "rip/Demuxer.h"
#include "rip/DocumentSink.h"
#include "rip/Host.h"
#include "rip/RipDisplay.h"
#include "rip/RipEngine.h"
#include "rip/RipJob.h"
#include "rip/SessionActions.h"
#include "rip/Subpicture.h"
#include "rip/SubtitleSink.h"
#include "subtitles/BannerClock.h"
#include "subtitles/SubtitleDocument.h"

#include <memory>

namespace mirtal {

// The working state of one run of the program: the rip job, the
// demultiplexer with its SPU buffer and stream clock, the decoded
// subpicture, the character matrix with the OCR settings and state, the
// subtitle document, the output bitmap with its settings, and the engine
// that drives them. Whoever creates it (the main window, mirtal-rip, a test)
// hands it its host and the message catalogue; nothing is global, so
// sessions in one process never see each other.
class Session {
public:
    // The full session: rip results go to its own subtitle document, and
    // its own actions recognise, compose, save and show the pictures.
    Session(Host& host, const MessageCatalogue& catalogue, const BannerClock& clock);
    // An engine-only session whose subpictures go to the given sink and
    // actions (listing tools, engine tests).
    Session(Host& host, const MessageCatalogue& catalogue, SubtitleSink& subtitles,
            SubpictureActions* actions = nullptr);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const RipJob& job() const { return m_job; }
    Demuxer& demuxer() { return *m_demuxer; }
    Subpicture& subpicture() { return m_subpicture; }
    const RipDisplay& display() const { return m_display; }
    RipEngine& engine() { return m_engine; }
    Host& host() { return m_host; }
    const MessageCatalogue& catalogue() const { return m_catalogue; }

    SubtitleDocument& document() { return m_document; }
    DocumentSink& documentSink() { return m_documentSink; }
    CharMatrix& matrix() { return m_matrix; }
    OcrSettings& ocrSettings() { return m_ocrSettings; }
    OcrState& ocrState() { return m_ocrState; }
    OcrDriver& ocr() { return m_ocr; }
    BmpOutputSettings& bmpSettings() { return m_bmpSettings; }
    const OutputBitmapComposer& composer() const { return m_composer; }
    const PaletteBitmap& outputBitmap() const { return m_outputBitmap; }
    const Rect& outputRect() const { return m_outputRect; }
    SessionActions& actions() { return m_actions; }

    // The subpicture stream (0x20..0x3F) the next job reads.
    void chooseStream(uint8_t streamId) { m_job.SubtitleStreamId = streamId; }
    // The main window's "show subpictures" box: the job shows each picture.
    void showSubpictures(bool on) { m_job.ShowSubPict = on; }
    // The job setup's Reset: the time line starts again at zero, and the
    // host shows it.
    void resetTimeBase();

    // The bitmap adjustment step runs before the next composed picture (due
    // when a BMP or show-only job starts, done when the step says OK).
    bool adjustmentDue() const { return m_adjustmentDue; }
    void requestAdjustment() { m_adjustmentDue = true; }
    void finishAdjustment() { m_adjustmentDue = false; }
    // Whether the step lets the current picture be saved ("Skip this
    // Picture" skips it).
    bool pictureKept() const { return m_pictureKept; }
    void keepPicture() { m_pictureKept = true; }
    void skipPicture() { m_pictureKept = false; }
    // The rip paused so that the text colour can be chosen again: the next
    // tick lifts the pause as soon as the engine is idle.
    bool resumesWhenIdle() const { return m_resumeWhenIdle; }
    void resumeWhenIdle() { m_resumeWhenIdle = true; }

    // The decoded subpicture composed into the output picture with the bitmap
    // settings and the DVD colour order; shown through the host.
    void composePicture();
    void showComposedPicture() { m_host.showPicture(m_outputBitmap, m_outputRect); }
    void setDvdColourOrder(const std::array<uint8_t, 4>& order) {
        m_composer.setDvdColourOrder(order);
    }

    // The job setup's Start: fills the job and the per-job resets (stream
    // clock, text colour, the adjustment step), then unpauses.
    Result startJob(const JobSetup& setup);
    // One timer tick, including the automatic continue after a colour change.
    TickResult tick();
    // The recogniser that names new glyph shapes (OcrDriver::setRecognizer).
    void setRecognizer(LineRecognizer* recognizer) { m_ocr.setRecognizer(recognizer); }
    // The OCR driver's counts of named and asked shapes, into the display.
    void showGlyphCounts();

private:
    // A rip that names glyphs by votes: a new shape stops the reading pass, a
    // training pass reads the stream for votes, and the reading starts again.
    void restartForNaming();
    void restartPass();

    Host& m_host;
    const MessageCatalogue& m_catalogue;
    SubtitleDocument m_document;
    DocumentSink m_documentSink;
    CharMatrix m_matrix;
    OcrSettings m_ocrSettings;
    OcrState m_ocrState;
    OcrDriver m_ocr;
    BmpOutputSettings m_bmpSettings;
    OutputBitmapComposer m_composer;
    PaletteBitmap m_outputBitmap;
    Rect m_outputRect;
    SessionActions m_actions;
    RipJob m_job;
    std::unique_ptr<Demuxer> m_demuxer; // 64 KiB buffer: kept off the stack
    Subpicture m_subpicture;
    RipDisplay m_display;
    RipEngine m_engine;
    JobSetup m_setup;
    int m_subtitlesAtStart = 0;
    bool m_adjustmentDue = false;
    bool m_pictureKept = true;
    bool m_resumeWhenIdle = false;
    // The stream clock as the job found it: every pass starts from it.
    std::unique_ptr<Demuxer> m_demuxerAtStart;
};

} // namespace mirtal
