// The character matrix file: a file that loads saves to bytes that load
// to the same matrix, and the matcher accepts whatever loaded.
#include "FuzzInput.h"
#include "ocr/GlyphMatcher.h"
#include "ocr/MatrixFile.h"

using namespace mirtal;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CharMatrix matrix;
    CharMatrixEntry marker;
    marker.Width = marker.Height = 1;
    marker.Text = "x";
    matrix.appendEntry(marker);
    const CharMatrix before = matrix;

    MatrixLoadResult r = decodeMatrix(std::span<const uint8_t>(data, size), matrix);
    if (!r) {
        if (!(matrix == before)) fuzz::broken("a failed load changed the matrix");
        return 0;
    }
    const std::string bytes = encodeMatrix(matrix);
    CharMatrix again;
    auto span = std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    if (!decodeMatrix(span, again) || !(again == matrix)) fuzz::broken("round trip");

    // Each entry as a glyph of its own size, against the whole matrix.
    OcrSettings settings;
    for (const CharMatrixEntry& e : matrix.entries()) {
        Glyph g;
        g.Width = e.Width;
        g.Height = e.Height;
        g.RelTop = e.Top;
        g.Rows = e.Rows;
        (void)findMatchingEntry(matrix, g, settings);
        if (matrix.count() > 16) break; // enough for the matcher; keeps runs fast
    }
    return 0;
}
