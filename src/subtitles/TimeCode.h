#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mirtal {

// Hours, minutes, seconds and milliseconds. The all-zero value is the reset
// value and, for a stop time, means "not known yet".
struct TTimeCode {
    uint8_t Hour = 0;
    uint8_t Min = 0;
    uint8_t Sec = 0;
    uint16_t MSec = 0;
    bool operator==(const TTimeCode&) const = default;
    bool isZero() const { return Hour == 0 && Min == 0 && Sec == 0 && MSec == 0; }
};

// Frame-based time used by the authoring scripts.
struct TFrameCode {
    uint8_t Hour = 0;
    uint8_t Min = 0;
    uint8_t Sec = 0;
    uint8_t Frame = 0;
    bool operator==(const TFrameCode&) const = default;
};

int32_t timeCodeToMs(TTimeCode tc);
// Negative input is taken as 0, and times past 255 hours saturate at
// 255:59:59,999, so that no caller ever gets a wrapped time.
TTimeCode msToTimeCode(int64_t ms);
std::string zeroPad(int64_t value, int width);
std::string timeCodeToStr(TTimeCode tc);
TTimeCode strToTimeCode(std::string_view text);
TTimeCode addTimeCodes(TTimeCode a, TTimeCode b);
TTimeCode enforceMinInterval(TTimeCode stop, TTimeCode nextStart, int32_t minMs);
TTimeCode roundTimeCode(TTimeCode tc);
TFrameCode timeCodeToFrameCode(TTimeCode tc, uint32_t fps100, bool dropFrame);
std::string frameCodeToStr(TFrameCode fc);

// Whole-number parse of a text (optional sign, digits only, nothing else).
bool parseInteger(std::string_view text, int64_t& value);

} // namespace mirtal
