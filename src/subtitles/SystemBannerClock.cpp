#include "subtitles/SystemBannerClock.h"

#include "base/TextCodec.h"

#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>
#include <stdexcept>

namespace mirtal {

std::string SystemBannerClock::localDateTimeText() const {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::ostringstream out;
    try {
        out.imbue(std::locale(""));
    } catch (const std::runtime_error&) {
        // An unknown locale in the environment: the classic form will do.
    }
    out << std::put_time(&local, "%x %X");
    return utf8ToCp1252(out.str());
}

} // namespace mirtal
