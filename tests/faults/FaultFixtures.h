#pragma once

#include "ocr/CharMatrix.h"
#include "subtitles/BannerClock.h"
#include "subtitles/SubtitleDocument.h"
#include "subtitles/TimeCode.h"

#include <string>

namespace mirtal::test {

// A matrix at its capacity, each glyph's pixels and text depending on `seed`.
inline CharMatrix FullMatrix(int seed) {
    CharMatrix m;
    m.SetComment("matrix " + std::to_string(seed));
    for (int i = 0; i < MaxCharMatrixEntries; ++i) {
        CharMatrixEntry e;
        e.Width = uint8_t(1 + (i + seed) % 45);
        e.Height = uint8_t(1 + (i * 3 + seed) % 45);
        e.Top = uint8_t(i % 7);
        e.Text = std::string(1, char('a' + (i + seed) % 26)) + std::to_string(i);
        for (int y = 0; y < e.Height; ++y)
            for (int x = 0; x < e.Width; ++x) e.setPixel(x, y, (x * y + i + seed) % 3 == 0);
        m.AppendEntry(e);
    }
    return m;
}

// `count` two-line subtitles, one a second.
inline void FillDocument(SubtitleDocument& doc, const std::string& word, int count) {
    for (int i = 0; i < count; ++i)
        doc.AddSubtitle({word + " subtitle " + std::to_string(i + 1), "second line of " + word},
                        false, MsToTimeCode(int64_t(i) * 1000 + 100),
                        MsToTimeCode(int64_t(i) * 1000 + 900), {});
    doc.RefreshList();
}

} // namespace mirtal::test
