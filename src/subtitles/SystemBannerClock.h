#pragma once

#include "subtitles/BannerClock.h"

namespace mirtal {

// The current local date and time in the system's short date and long time
// forms, for the banners of the authoring scripts.
class SystemBannerClock : public BannerClock {
public:
    std::string localDateTimeText() const override;
};

} // namespace mirtal
