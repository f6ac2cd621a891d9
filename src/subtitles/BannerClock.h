#pragma once

#include <string>

namespace mirtal {

// The local date and time as the script banners print them. The core never
// reads the clock itself: the program passes the system's, tests a fixed one.
class BannerClock {
public:
    virtual ~BannerClock() = default;
    virtual std::string localDateTimeText() const = 0;
};

class FixedBannerClock : public BannerClock {
public:
    explicit FixedBannerClock(std::string text) : m_text(std::move(text)) {}
    std::string localDateTimeText() const override { return m_text; }
    void set(std::string text) { m_text = std::move(text); }

private:
    std::string m_text;
};

} // namespace mirtal
