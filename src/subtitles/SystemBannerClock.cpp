#include "subtitles/SystemBannerClock.h"

#include <ctime>

namespace mirtal {

std::string SystemBannerClock::localDateTimeText() const {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[64];
    size_t n = std::strftime(buf, sizeof buf, "%x %X", &local);
    return std::string(buf, n);
}

} // namespace mirtal
