#include "rip/SessionActions.h"

#include "export/BmpFile.h"
#include "ocr/TextColor.h"
#include "rip/RipEngine.h"
#include "rip/Session.h"

#include <stdexcept>

namespace mirtal {

void SessionActions::recognise(RipEngine& engine, const SubpictureEvent& event) {
    OcrDriver& ocr = m_session.ocr();
    ocr.options().showPicture = engine.job().ShowSubPict;
    if (!ocr.options().preview)
        ocr.options().preview = [this](const Bitmap24& b) { m_session.host().showPicture(b, Rect{}); };
    PictureInfo info{event.number, TimeCodeToMs(event.times.start)};
    // The driver crops and recolours the work bitmap in place, as the
    // preview then shows recognised characters in their marker colours.
    OcrResult r = ocr.OcrSubpicture(m_session.subpicture().Bitmap, info);
    placeholders += r.placeholders;
    switch (r.outcome) {
    case OcrOutcome::Added:
        engine.subtitles().add(r.lines, event.times.start, event.times.stop, event.rect);
        break;
    case OcrOutcome::Dropped:
        engine.UncountSubpicture();
        break;
    case OcrOutcome::Pause:
        engine.PauseToReprocessSubpicture();
        break;
    case OcrOutcome::ChangeColor:
        m_session.ocrState().forgetTextColor();
        engine.PauseToReprocessSubpicture();
        m_session.ResumeWhenIdle = true;
        break;
    case OcrOutcome::NoText:
    case OcrOutcome::ColorSkipped:
        break;
    }
}

bool SessionActions::adjustIfDue() {
    m_session.SavePicture = true;
    if (!m_session.ShowEachPicture) return true;
    // The adjustment step always starts from the automatic colour order of
    // the picture at hand.
    m_session.composer().SetDvdColorOrder(
        AutoDetectTextColor(m_session.subpicture().Bitmap, m_session.ocrState().DrawColor));
    if (m_session.host().adjustBitmap()) {
        m_session.ShowEachPicture = false;
        return true;
    }
    m_session.SavePicture = false;
    return false;
}

void SessionActions::compose() {
    m_session.outputRect() = m_session.composer().ComposeOutputBitmap(
        m_session.bmpSettings(), m_session.subpicture().Bitmap, m_session.outputBitmap(),
        m_session.subpicture().rect());
}

void SessionActions::saveBitmap(RipEngine& engine, const SubpictureEvent& event) {
    const bool save = adjustIfDue();
    compose();
    if (!save) return; // skipped: no file and no entry, but the number is used up
    if (engine.job().WithTimingAndPosition) engine.AddFileNameEntry(m_session.outputRect(), event.fileName);
    if (engine.job().ShowSubPict) m_session.host().showPicture(m_session.outputBitmap(), m_session.outputRect());
    if (FileResult r = SaveBitmapFile(m_session.outputBitmap(), event.fileName); !r)
        throw std::runtime_error(r.error);
}

void SessionActions::show(RipEngine& engine, const SubpictureEvent&) {
    adjustIfDue();
    compose();
    m_session.host().showPicture(m_session.outputBitmap(), m_session.outputRect());
    if (engine.job().NoStop) return;
    switch (m_session.host().waitAtProgression()) {
    case ProgressionChoice::Next:
        break;
    case ProgressionChoice::NoStop:
        engine.job().NoStop = true;
        break;
    case ProgressionChoice::Pause:
        engine.ButtonPauseClick();
        break;
    }
}

} // namespace mirtal
