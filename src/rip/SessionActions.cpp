#include "rip/SessionActions.h"

#include "export/BmpFile.h"
#include "export/SupFile.h"
#include "ocr/TextColour.h"
#include "rip/RipEngine.h"
#include "rip/Session.h"

#include <stdexcept>

namespace mirtal {

void SessionActions::recognise(RipEngine& engine, const SubpictureEvent& event) {
    OcrDriver& ocr = m_session.ocr();
    ocr.options().showPicture = engine.job().ShowSubPict;
    if (!ocr.options().preview)
        ocr.options().preview = [this](const Bitmap24& b) {
            m_session.host().showPicture(b, Rect{});
        };
    PictureInfo info{event.number, timeCodeToMs(event.times.start)};
    // The driver crops and recolours the work bitmap in place, as the
    // preview then shows recognised characters in their marker colours.
    OcrResult r = ocr.ocrSubpicture(m_session.subpicture().Bitmap, info);
    placeholders += r.placeholders;
    m_session.showGlyphCounts();
    switch (r.outcome) {
    case OcrOutcome::Added:
        engine.subtitles().add(r.lines, event.times.start, event.times.stop, event.rect);
        break;
    case OcrOutcome::Dropped:
        engine.uncountSubpicture();
        break;
    case OcrOutcome::Train:
    case OcrOutcome::Pause:
        engine.pauseToReprocessSubpicture();
        break;
    case OcrOutcome::ChangeColour:
        m_session.ocrState().forgetTextColour();
        engine.pauseToReprocessSubpicture();
        m_session.resumeWhenIdle();
        break;
    case OcrOutcome::NoText:
    case OcrOutcome::ColourSkipped:
        break;
    }
}

bool SessionActions::adjust() {
    m_session.keepPicture();
    // The adjustment step always starts from the automatic colour order of
    // the picture at hand.
    m_session.setDvdColourOrder(
        autoDetectTextColour(m_session.subpicture().Bitmap, m_session.ocrState().DrawColor));
    if (m_session.host().adjustBitmap()) {
        m_session.finishAdjustment();
        return true;
    }
    m_session.skipPicture();
    return false;
}

bool SessionActions::adjustIfDue() {
    m_session.keepPicture();
    return !m_session.adjustmentDue() || adjust();
}

Result SessionActions::saveBitmap(RipEngine& engine, const SubpictureEvent& event) {
    const bool save = adjustIfDue();
    m_session.composePicture();
    if (!save) return {}; // skipped: no file and no entry, but the number is used up
    if (engine.job().ShowSubPict) m_session.showComposedPicture();
    // The file before its entry: a failed write pauses the job so that this
    // picture is processed again, and it must not be listed twice.
    if (Result r = saveBitmapFile(m_session.outputBitmap(), event.fileName); !r) return r;
    if (engine.job().WithTimingAndPosition)
        engine.addFileNameEntry(m_session.outputRect(), event.fileName);
    return {};
}

void SessionActions::show(RipEngine& engine, const SubpictureEvent&) {
    adjustIfDue();
    m_session.composePicture();
    m_session.showComposedPicture();
    if (engine.job().NoStop) return;
    switch (m_session.host().waitAtProgression()) {
    case ProgressionChoice::Next:
        break;
    case ProgressionChoice::NoStop:
        engine.job().NoStop = true;
        break;
    case ProgressionChoice::Pause:
        // The pause button toggles; a job that was paused meanwhile stays paused.
        if (!engine.job().Paused)
            engine.togglePause();
        else
            engine.job().NoStop = false;
        break;
    }
}

std::optional<std::filesystem::path> SessionActions::chooseNameBeginning(Message title) {
    const MessageCatalogue& messages = m_session.catalogue();
    FileDialogRequest request;
    request.title = messages.text(title) + std::to_string(m_session.job().TotalPictures) +
                    messages.text(Message::EnterNameBeginning);
    request.initialFolder = pictureFolder;
    std::optional<std::filesystem::path> chosen = m_session.host().chooseSaveFile(request);
    if (chosen) pictureFolder = chosen->parent_path();
    return chosen;
}

namespace {

bool reportIfFailed(DialogHost& host, const Result& result) {
    if (!result) host.ask(MessageKind::Warning, {Answer::Ok}, result.error);
    return bool(result);
}

// The typed name always gets the extension, even when it already has one.
std::filesystem::path withSuffix(const std::filesystem::path& name, const char* suffix) {
    return std::filesystem::path(name.string() + suffix);
}

} // namespace

bool SessionActions::saveShownPictureAsBmp() {
    std::optional<std::filesystem::path> name =
        chooseNameBeginning(Message::SaveBmpSubpictureTitle);
    if (!name) return false;
    return reportIfFailed(m_session.host(),
                          saveBitmapFile(m_session.outputBitmap(), withSuffix(*name, ".BMP")));
}

bool SessionActions::saveCurrentSpuAsSup() {
    std::optional<std::filesystem::path> name =
        chooseNameBeginning(Message::SaveSupSubpictureTitle);
    if (!name) return false;
    return reportIfFailed(m_session.host(),
                          saveSupFile(withSuffix(*name, ".SUP"), m_session.demuxer().spu()));
}

void SessionActions::changeColours() {
    adjust();
    m_session.composePicture();
    m_session.showComposedPicture();
}

} // namespace mirtal
