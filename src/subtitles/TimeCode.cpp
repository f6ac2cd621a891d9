#include "subtitles/TimeCode.h"

#include <algorithm>
#include <charconv>

namespace mirtal {

int32_t timeCodeToMs(TTimeCode tc) {
    return (int32_t(tc.Hour) * 3600 + int32_t(tc.Min) * 60 + int32_t(tc.Sec)) * 1000 +
           int32_t(tc.MSec);
}

TTimeCode msToTimeCode(int64_t ms) {
    constexpr int64_t kMax = (255LL * 3600 + 59 * 60 + 59) * 1000 + 999;
    ms = std::clamp<int64_t>(ms, 0, kMax);
    int64_t s = ms / 1000;
    TTimeCode tc;
    tc.Hour = uint8_t(s / 3600);
    tc.Min = uint8_t((s % 3600) / 60);
    tc.Sec = uint8_t(s - int64_t(tc.Hour) * 3600 - int64_t(tc.Min) * 60);
    tc.MSec = uint16_t(ms % 1000);
    return tc;
}

std::string zeroPad(int64_t value, int width) {
    std::string s = std::to_string(value);
    if (int(s.size()) < width) s.insert(0, size_t(width) - s.size(), '0');
    return s;
}

std::string timeCodeToStr(TTimeCode tc) {
    return zeroPad(tc.Hour, 2) + ":" + zeroPad(tc.Min, 2) + ":" + zeroPad(tc.Sec, 2) + "," +
           zeroPad(tc.MSec, 3);
}

bool parseInteger(std::string_view text, int64_t& value) {
    if (text.empty()) return false;
    const char* b = text.data();
    const char* e = b + text.size();
    if (*b == '+') ++b;
    if (b == e) return false;
    auto r = std::from_chars(b, e, value);
    return r.ec == std::errc() && r.ptr == e;
}

TTimeCode strToTimeCode(std::string_view text) {
    auto field = [&](size_t pos, size_t len, int64_t& v) {
        if (pos >= text.size()) return false;
        return parseInteger(text.substr(pos, len), v);
    };
    int64_t h, m, s, ms;
    if (!field(0, 2, h) || !field(3, 2, m) || !field(6, 2, s) || !field(9, 3, ms)) return {};
    TTimeCode tc;
    tc.Hour = uint8_t(h);
    tc.Min = uint8_t(m);
    tc.Sec = uint8_t(s);
    tc.MSec = uint16_t(ms);
    return tc;
}

TTimeCode addTimeCodes(TTimeCode a, TTimeCode b) {
    int ms = a.MSec + b.MSec, carry = 0;
    if (ms > 999) {
        ms -= 1000;
        carry = 1;
    }
    int s = a.Sec + b.Sec + carry;
    carry = 0;
    if (s > 59) {
        s -= 60;
        carry = 1;
    }
    int m = a.Min + b.Min + carry;
    carry = 0;
    if (m > 59) {
        m -= 60;
        carry = 1;
    }
    TTimeCode r;
    r.Hour = uint8_t(a.Hour + b.Hour + carry);
    r.Min = uint8_t(m);
    r.Sec = uint8_t(s);
    r.MSec = uint16_t(ms);
    return r;
}

TTimeCode enforceMinInterval(TTimeCode stop, TTimeCode nextStart, int32_t minMs) {
    int64_t gap = int64_t(timeCodeToMs(nextStart)) - timeCodeToMs(stop);
    if (gap >= 0 && minMs > gap) {
        // A next start closer to zero than the interval leaves the stop at zero.
        int64_t ms = int64_t(timeCodeToMs(stop)) + gap - minMs;
        return msToTimeCode(ms < 0 ? 0 : ms);
    }
    return stop;
}

TTimeCode roundTimeCode(TTimeCode tc) {
    if (tc.MSec > 500) tc = addTimeCodes(tc, TTimeCode{0, 0, 1, 0});
    tc.MSec = 0;
    return tc;
}

TFrameCode timeCodeToFrameCode(TTimeCode tc, uint32_t fps100, bool dropFrame) {
    TFrameCode fc;
    fc.Hour = tc.Hour;
    fc.Min = tc.Min;
    fc.Sec = tc.Sec;
    fc.Frame = uint8_t((uint32_t(tc.MSec / 10) * fps100) / 10000);
    if (dropFrame && fc.Sec == 0 && fc.Frame < 2 && fc.Min % 10 != 0) fc.Frame = 2;
    return fc;
}

std::string frameCodeToStr(TFrameCode fc) {
    return zeroPad(fc.Hour, 2) + ":" + zeroPad(fc.Min, 2) + ":" + zeroPad(fc.Sec, 2) + ":" +
           zeroPad(fc.Frame, 2);
}

} // namespace mirtal
