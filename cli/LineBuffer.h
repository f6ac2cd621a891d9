#pragma once

#include <functional>
#include <streambuf>
#include <string>
#include <string_view>

namespace mirtal::cli {

// A stream buffer that hands on only whole lines, all those complete at
// once in one piece: standard error as one write per message instead of
// one per `<<`, so that a flood of warnings costs a write each and lines
// of two processes never interleave. A flush (a prompt, the progress bar)
// hands on what there is.
class LineBuffer : public std::streambuf {
public:
    using Sink = std::function<void(std::string_view)>;
    explicit LineBuffer(Sink sink) : m_sink(std::move(sink)) {}
    ~LineBuffer() override { sync(); }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        const char ch = traits_type::to_char_type(c);
        xsputn(&ch, 1);
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        m_pending.append(s, size_t(n));
        const size_t end = m_pending.rfind('\n');
        if (end != std::string::npos) {
            m_sink(std::string_view(m_pending).substr(0, end + 1));
            m_pending.erase(0, end + 1);
        }
        return n;
    }
    int sync() override {
        if (!m_pending.empty()) m_sink(m_pending);
        m_pending.clear();
        return 0;
    }

private:
    Sink m_sink;
    std::string m_pending;
};

} // namespace mirtal::cli
