#include "ocr/OcrDriver.h"

#include "base/CropToText.h"
#include "ocr/TextColour.h"

#include <algorithm>

namespace mirtal {

namespace {} // namespace

OcrDriver::OcrDriver(CharMatrix& matrix, const OcrSettings& settings, OcrState& state,
                     OcrHost& ocrHost, DialogHost& dialogs, const MessageCatalogue& messages,
                     OcrOptions options)
    : m_matrix(matrix), m_settings(settings), m_state(state), m_ocrHost(ocrHost),
      m_dialogs(dialogs), m_messages(messages), m_options(std::move(options)),
      m_table(std::make_unique<LineTable>()) {}

void OcrDriver::startJob() {
    m_normalGaps.clear();
    m_italicGaps.clear();
    m_lastCounted.reset();
    m_namer.clear();
    m_training = m_trained = m_wantsTraining = false;
    m_named = m_asked = 0;
}

void OcrDriver::beginTraining() {
    m_training = true;
    // The reading pass starts again from the first subpicture.
    m_normalGaps.clear();
    m_italicGaps.clear();
    m_lastCounted.reset();
}

GlyphNamer::Outcome OcrDriver::finishTraining() {
    m_training = false;
    for (const GlyphNamer::WordPair& g : m_namer.pairsInsideWords())
        (g.italic ? m_italicGaps : m_normalGaps).addInsideWord(g.left, g.right);
    m_trained = true;
    m_wantsTraining = false;
    const GlyphNamer::Outcome outcome =
        m_namer.settle(m_matrix, GlyphNaming(m_settings.NameGlyphs), m_settings,
                       m_options.onLearned, m_recognizer);
    m_named += outcome.named;
    return outcome;
}

int32_t OcrDriver::spaceWidth() const {
    if (m_settings.AutoSpaceWidth)
        if (auto w = m_normalGaps.width()) return *w;
    return m_settings.SpaceWidth;
}

int32_t OcrDriver::italicSpaceWidth() const {
    if (m_settings.AutoSpaceWidth) {
        if (auto w = m_italicGaps.width()) return *w;
        if (auto w = m_normalGaps.width()) return *w;
    }
    return m_settings.ItaSpaceWidth;
}

void OcrDriver::countGaps(const LineTable& table, const std::vector<ReadLine>& lines,
                          const PictureInfo& info) {
    if (!m_settings.AutoSpaceWidth) return;
    // Subpicture numbers start at 1; 0 is a picture read outside a rip.
    if (info.subpictureNumber != 0 && m_lastCounted == info.subpictureNumber) return;
    m_lastCounted = info.subpictureNumber;
    for (size_t l = 0; l < lines.size(); ++l) {
        const auto boxes = table.Lines[l].boxes();
        const std::vector<std::string>& texts = lines[l].keys;
        // A skipped line was not read to its end: its glyphs say nothing.
        if (lines[l].skipped || texts.size() != boxes.size()) continue;
        for (size_t c = 0; c + 1 < boxes.size(); ++c)
            (boxes[c].Italic ? m_italicGaps : m_normalGaps)
                .add(boxes[c + 1].X - (boxes[c].X + boxes[c].Width), texts[c], texts[c + 1]);
    }
}

bool OcrDriver::spaceBetween(const CharBox& box, const CharBox& next, const std::string& text,
                             const std::string& nextText) const {
    const int gap = next.X - (box.X + box.Width);
    if (m_settings.AutoSpaceWidth) {
        if (box.Italic)
            if (auto space = m_italicGaps.isSpace(gap, text, nextText)) return *space;
        // A few glyphs taken for italics (slanted strokes of an upright
        // font, or a short italic word) are spaced like the rest of the rip
        // until their own gaps show two clusters.
        if (auto space = m_normalGaps.isSpace(gap, text, nextText)) return *space;
    }
    return gap >= (box.Italic ? m_settings.ItaSpaceWidth : m_settings.SpaceWidth);
}

OcrDriver::Reading OcrDriver::recognizeGlyph(const Glyph& glyph, const GlyphQuestion& question) {
    if (int i = findMatchingEntry(m_matrix, glyph, m_settings))
        return {GlyphAction::Learn, m_matrix.entry(i).Text};
    if (namesGlyphs() && !m_trained) return {GlyphAction::Learn, {}, false, false, true};
    if (m_options.noAsk) return {GlyphAction::Learn, m_options.placeholder, false, true};
    return learnGlyph(glyph, question);
}

OcrDriver::Reading OcrDriver::learnGlyph(const Glyph& glyph, const GlyphQuestion& question) {
    if (m_matrix.full()) {
        m_dialogs.ask(MessageKind::Warning, {Answer::Ok},
                      m_messages.text(Message::MatrixFull) + std::to_string(m_matrix.count()) +
                          "\r" + m_messages.text(Message::OneMatrixPerDvd));
        // Nothing can be learned; the line shows where the unread glyph was.
        return {GlyphAction::Learn, m_options.placeholder, false, true};
    }
    if (m_options.preview && question.workBitmap) {
        Bitmap24 framed = *question.workBitmap;
        const CharBox& b = question.box;
        framed.frameRect(b.X - 1, b.Y - 1, b.X + b.Width + 1, b.Y + b.Height + 1,
                         kGlyphFrameColour);
        m_options.preview(framed);
    }
    GlyphQuestion asked = question;
    asked.symbolIndex = m_matrix.count() + 1;
    if (m_trained) asked.suggestion = m_namer.suggestionFor(glyph, m_settings);
    ++m_asked;
    GlyphAnswer answer = m_ocrHost.askGlyph(asked);
    if (answer.action != GlyphAction::Learn) return {answer.action, {}};
    const int index = m_matrix.appendEntry(entryFromGlyph(glyph, answer.text));
    if (m_options.onLearned) m_options.onLearned(index);
    return {GlyphAction::Learn, m_matrix.entry(index).Text, true, false};
}

bool OcrDriver::haveTextColour(Bitmap24& work) {
    if (m_state.textColourChosen()) return true;
    m_state.ColorOrder = autoDetectTextColour(work, m_state.DrawColor);
    auto choice = m_ocrHost.chooseTextColour(work, m_state.ColorOrder[1]);
    if (!choice || *choice < 0 || *choice > 3) return false;
    m_state.chooseTextColour(*choice);
    return true;
}

OcrOutcome OcrDriver::readGlyphs(Bitmap24& work, const PictureInfo& info,
                                 std::vector<ReadLine>& lines, OcrResult& result) {
    const LineTable& table = *m_table;
    GlyphQuestion question;
    question.subpictureNumber = info.subpictureNumber;
    question.startMs = info.startMs;
    question.workBitmap = &work;
    lines.assign(size_t(table.LineCount), {});
    for (int l = 0; l < table.LineCount; ++l) {
        const auto boxes = table.Lines[size_t(l)].boxes();
        question.line = l + 1;
        question.lineBoxes = boxes;
        ReadLine& read = lines[size_t(l)];
        for (size_t c = 0; c < boxes.size(); ++c) {
            const CharBox& box = boxes[c];
            const Glyph glyph = makeGlyph(work, box, markerColour(int(c) + 1));
            question.charIndex = int(c) + 1;
            question.box = box;
            Reading reading = recognizeGlyph(glyph, question);
            if (reading.train) {
                // Nothing of this subpicture is kept: it is read again after training.
                m_wantsTraining = true;
                return OcrOutcome::Train;
            }
            ++result.glyphs;
            if (reading.learned) ++result.learned;
            if (reading.placeholder) ++result.placeholders;
            if (reading.action == GlyphAction::SkipLine) {
                read.skipped = true;
                break;
            }
            switch (reading.action) {
            case GlyphAction::Learn:
                break;
            case GlyphAction::Pause:
                return OcrOutcome::Pause;
            case GlyphAction::ChangeColour:
                m_state.forgetTextColour();
                return OcrOutcome::ChangeColour;
            default:
                return OcrOutcome::Dropped;
            }
            read.slants.push_back(glyphSlant(glyph, reading.text));
            read.texts.push_back(std::move(reading.text));
        }
        SlantProfile slant;
        for (const SlantProfile& s : read.slants) slant += s;
        const bool italic = slant.lean() > kItalicLean;
        for (const std::string& text : read.texts) read.keys.push_back(spacingKey(text, italic));
    }
    return OcrOutcome::Added;
}

std::string OcrDriver::lineText(const ReadLine& read, std::span<const CharBox> boxes) const {
    std::vector<LineWord> words(1);
    for (size_t c = 0; c < read.texts.size(); ++c) {
        LineWord& word = words.back();
        word.text += read.texts[c];
        word.slant += read.slants[c];
        if (c + 1 < read.texts.size() &&
            spaceBetween(boxes[c], boxes[c + 1], read.keys[c], read.keys[c + 1]))
            words.emplace_back();
    }
    // Glyphs learned with an empty text add nothing, not even the spaces
    // between them: a line that holds nothing else is no line.
    if (std::none_of(words.begin(), words.end(), [](const LineWord& w) { return !w.text.empty(); }))
        return {};
    if (m_settings.MarkItalics) return markItalicWords(words);
    std::string text;
    for (size_t w = 0; w < words.size(); ++w) text += (w ? " " : "") + words[w].text;
    return text;
}

OcrResult OcrDriver::ocrSubpicture(Bitmap24& work, const PictureInfo& info) {
    OcrResult result;
    // Without a single pixel there is nothing to choose a colour from.
    if (!m_state.textColourChosen() && work.empty()) return result;
    if (!haveTextColour(work)) {
        result.outcome = OcrOutcome::ColourSkipped;
        return result;
    }
    m_textBox = cropToText(work, m_state.TextColor)
                    .value_or(Rect{0, 0, work.width() - 1, work.height() - 1});
    result.textBox = m_textBox;
    if (m_options.showPicture && m_options.preview) m_options.preview(work);
    LineTable& table = *m_table;
    segmentSubpicture(work, m_state.TextColor, m_settings, table);
    if (m_training && m_recognizer) {
        for (int l = 0; l < table.LineCount; ++l)
            m_namer.trainLine(work, table.Lines[size_t(l)].boxes(), m_matrix, m_settings,
                              *m_recognizer);
        return result;
    }

    // Every glyph is read first: the spaces depend on the glyphs on both
    // sides of a gap, and this picture's own gaps already help to space it.
    std::vector<ReadLine> lines;
    result.outcome = readGlyphs(work, info, lines, result);
    if (result.outcome != OcrOutcome::Added) return result;
    countGaps(table, lines, info);
    for (int l = 0; l < table.LineCount; ++l) {
        const ReadLine& read = lines[size_t(l)];
        if (read.skipped) continue;
        if (std::string text = lineText(read, table.Lines[size_t(l)].boxes()); !text.empty())
            result.lines.push_back(std::move(text));
    }
    result.outcome = result.lines.empty() ? OcrOutcome::NoText : OcrOutcome::Added;
    return result;
}

} // namespace mirtal
