#include "subtitles/TimeCorrection.h"

#include <cmath>

namespace mirtal {

namespace {

// Round to the nearest integer, halves to even, whatever the FPU mode.
int64_t roundHalfEven(double x) {
    double f = std::floor(x);
    double diff = x - f;
    if (diff > 0.5) return int64_t(f) + 1;
    if (diff < 0.5) return int64_t(f);
    int64_t i = int64_t(f);
    return (i % 2 == 0) ? i : i + 1;
}

TTimeCode nonNegative(int64_t ms) {
    return msToTimeCode(ms < 0 ? 0 : ms);
}

} // namespace

std::string zeroStretchMessage() {
    return "You can't make a time Stretch when the last Subtitle starts at 00:00:00,000 !";
}

StepResult applyOffset(SubtitleStore& store, int32_t deltaMs, DialogHost& host,
                       const MessageCatalogue& messages) {
    for (int i = 1; i <= store.nbSubTitle(); ++i) {
        TSub& e = store.entry(i);
        int64_t s = int64_t(timeCodeToMs(e.Start)) + deltaMs;
        int64_t stop = int64_t(timeCodeToMs(e.Stop)) + deltaMs;
        if (s <= 0) {
            std::string text = messages.text(Message::TimeCodeWarning) + timeCodeToStr(e.Start) +
                               messages.text(Message::TimeCodeReducedToZero) + "\r" +
                               messages.text(Message::ContinueNoUndo);
            if (host.ask(MessageKind::Warning, {Answer::Yes, Answer::No}, text) != Answer::Yes)
                return StepResult::Declined;
            e.Start = {};
        } else {
            e.Start = msToTimeCode(s);
        }
        e.Stop = nonNegative(stop);
    }
    return StepResult::Applied;
}

StepResult applyStretch(SubtitleStore& store, int32_t stretchMs, bool minus, DialogHost& host,
                        const MessageCatalogue& messages) {
    if (store.empty()) return StepResult::Applied;
    const int64_t last = timeCodeToMs(store.last().Start);
    if (minus && last < stretchMs) {
        host.ask(MessageKind::Warning, {Answer::Ok},
                 messages.text(Message::NegativeStretch) + "\r" +
                     messages.text(Message::NegativeStretchEnd));
        return StepResult::Refused;
    }
    // Every time scales about zero: with the last start at zero there is
    // nothing to scale by.
    if (last == 0) {
        host.ask(MessageKind::Warning, {Answer::Ok}, zeroStretchMessage());
        return StepResult::Refused;
    }
    const double f = (minus ? -1.0 : 1.0) * double(stretchMs) / double(last);
    auto scale = [f](TTimeCode t) {
        double ms = timeCodeToMs(t);
        return nonNegative(roundHalfEven(ms + f * ms));
    };
    for (int i = 1; i <= store.nbSubTitle(); ++i) {
        TSub& e = store.entry(i);
        e.Start = scale(e.Start);
        e.Stop = scale(e.Stop);
    }
    return StepResult::Applied;
}

void recomputeDurations(SubtitleStore& store, int32_t baseMs, int32_t perCharMs) {
    const int n = store.nbSubTitle();
    for (int i = 1; i <= n; ++i) {
        TSub& e = store.entry(i);
        uint16_t chars = 0; // a 16-bit count, as the dialog has always kept it
        for (int k = 0; k < e.NbLines; ++k) chars = uint16_t(chars + e.Lines[size_t(k)].size());
        int64_t start = timeCodeToMs(e.Start);
        int64_t limit = i < n ? int64_t(timeCodeToMs(store.entry(i + 1).Start)) : start + 65535;
        int64_t wanted = start + baseMs + int64_t(chars) * perCharMs;
        e.Stop = nonNegative(wanted < limit ? wanted : limit);
    }
}

void applyMinimumInterval(SubtitleStore& store, int32_t minMs) {
    for (int i = 1; i < store.nbSubTitle(); ++i) {
        TSub& e = store.entry(i);
        e.Stop = enforceMinInterval(e.Stop, store.entry(i + 1).Start, minMs);
    }
}

TimeCorrectionReport correctTime(SubtitleDocument& doc, const TimeCorrection& r, DialogHost& host,
                                 const MessageCatalogue& messages) {
    TimeCorrectionReport report;
    SubtitleStore& store = doc.store();
    if (store.empty()) return report;
    if (int32_t d = timeCodeToMs(r.Offset); d > 0)
        report.offset = applyOffset(store, r.MinusOffset ? -d : d, host, messages);
    if (int32_t s = timeCodeToMs(r.Stretch); s > 0)
        report.stretch = applyStretch(store, s, r.MinusStretch, host, messages);
    if (r.ChangeDurations) {
        if (r.Method == DurationMethod::Fixed)
            recomputeDurations(store, r.FixedDuration, 0);
        else
            recomputeDurations(store, r.OffsetDuration, r.MsPerChar);
    }
    if (r.MinInterval != 0) applyMinimumInterval(store, r.MinInterval);
    doc.refreshList();
    return report;
}

} // namespace mirtal
