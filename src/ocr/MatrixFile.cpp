#include "ocr/MatrixFile.h"

#include "base/ByteReader.h"

#include <cerrno>
#include <cstring>

namespace mirtal {

namespace {

constexpr int kCellBits = kGlyphCellSize * kGlyphCellSize; // 2025

// Pixel k = 45 y + x is bit k of the field, most significant bit first.
void packPixels(const CharMatrixEntry& e, uint8_t (&out)[kMatrixPixelBytes]) {
    std::memset(out, 0, sizeof out);
    for (int k = 0; k < kCellBits; ++k) {
        const int x = k % kGlyphCellSize, y = k / kGlyphCellSize;
        if (e.Rows[size_t(y)] >> x & 1u) out[k / 8] |= uint8_t(0x80u >> (k % 8));
    }
}

void unpackPixels(std::span<const uint8_t> field, CharMatrixEntry& e) {
    for (int k = 0; k < kCellBits; ++k) {
        if (field[size_t(k / 8)] & (0x80u >> (k % 8)))
            e.Rows[size_t(k / kGlyphCellSize)] |= uint64_t(1) << (k % kGlyphCellSize);
    }
}

MatrixLoadResult failure(MatrixLoadStatus status, std::string detail) {
    return {status, std::move(detail)};
}

} // namespace

std::string encodeMatrix(const CharMatrix& matrix) {
    ByteWriter w;
    w.text(std::string(kMatrixSignature, kMatrixSignatureLength));
    w.zeroPaddedString(matrix.comment(), kMatrixCommentLength);
    w.u16le(uint16_t(matrix.count()));
    uint8_t pixels[kMatrixPixelBytes];
    for (const CharMatrixEntry& e : matrix.entries()) {
        w.u8(e.Top);
        w.u8(e.Width);
        w.u8(e.Height);
        w.zeroPaddedString(e.Text, kEntryTextLength);
        packPixels(e, pixels);
        w.bytes(pixels);
    }
    return w.take();
}

MatrixLoadResult decodeMatrix(std::span<const uint8_t> bytes, CharMatrix& matrix) {
    ByteReader r(bytes);
    auto signature = r.bytes(kMatrixSignatureLength);
    if (signature.size() != kMatrixSignatureLength ||
        std::memcmp(signature.data(), kMatrixSignature, kMatrixSignatureLength) != 0)
        return failure(MatrixLoadStatus::BadSignature,
                       "The file does not start with the signature " +
                           std::string(kMatrixSignature) + ".");
    CharMatrix loaded;
    loaded.setComment(r.zeroPaddedString(kMatrixCommentLength));
    const unsigned count = r.u16le();
    if (!r.ok())
        return failure(MatrixLoadStatus::Truncated,
                       "The file ends after " + std::to_string(bytes.size()) +
                           " bytes, inside its header of " + std::to_string(kMatrixHeaderSize) +
                           " bytes.");
    if (count > unsigned(kMaxCharMatrixEntries))
        return failure(MatrixLoadStatus::TooManyEntries,
                       "The file claims " + std::to_string(count) +
                           " characters; a matrix holds at most " +
                           std::to_string(kMaxCharMatrixEntries) + ".");
    const size_t needed = kMatrixHeaderSize + kMatrixEntrySize * count;
    if (bytes.size() < needed)
        return failure(MatrixLoadStatus::Truncated,
                       "The file ends after " + std::to_string(bytes.size()) + " bytes; its " +
                           std::to_string(count) + " characters need " + std::to_string(needed) +
                           " bytes.");
    for (unsigned i = 1; i <= count; ++i) {
        CharMatrixEntry e;
        e.Top = r.u8();
        e.Width = r.u8();
        e.Height = r.u8();
        e.Text = r.zeroPaddedString(kEntryTextLength);
        unpackPixels(r.bytes(kMatrixPixelBytes), e);
        // A larger size cannot come from learning and would make the matcher
        // read past the glyph cell.
        if (e.Width > kGlyphCellSize || e.Height > kGlyphCellSize)
            return failure(MatrixLoadStatus::BadEntry,
                           "Character " + std::to_string(i) + " claims a size of " +
                               std::to_string(e.Width) + " x " + std::to_string(e.Height) +
                               " pixels; at most 45 x 45 is possible.");
        loaded.appendEntry(std::move(e));
    }
    loaded.setModified(false);
    matrix = std::move(loaded);
    return {};
}

MatrixLoadResult loadMatrixFile(const std::filesystem::path& path, CharMatrix& matrix) {
    // A sound file is at most 280 + 277 * 1024 bytes; more than that only
    // means trailing bytes, which the format ignores, so a generous cap is enough.
    auto bytes = readWholeFile(path, 16ull << 20);
    if (!bytes) return failure(MatrixLoadStatus::CannotRead, bytes.error);
    CharMatrix loaded;
    auto span = std::span(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size());
    MatrixLoadResult result = decodeMatrix(span, loaded);
    if (!result) {
        result.detail = path.string() + ": " + result.detail;
        return result;
    }
    loaded.setFileName(path.string());
    loaded.setModified(false);
    matrix = std::move(loaded);
    return result;
}

Result saveMatrixFile(const std::filesystem::path& path, const CharMatrix& matrix) {
    return writeFileAtomic(path, encodeMatrix(matrix));
}

ValueResult<std::filesystem::path> saveRescueMatrix(const std::filesystem::path& folder,
                                                    const std::filesystem::path& matrixFile,
                                                    const CharMatrix& matrix) {
    constexpr int kMostRescueFiles = 999;
    const std::string bytes = encodeMatrix(matrix);
    const std::string stem = matrixFile.stem().string() + ".unsaved";
    Result r;
    for (int n = 1; n <= kMostRescueFiles; ++n) {
        const std::filesystem::path file =
            folder /
            (stem + (n == 1 ? "" : "-" + std::to_string(n)) + matrixFile.extension().string());
        r = writeNewFileAtomic(file, bytes);
        if (r) return ValueResult<std::filesystem::path>::of(file);
        if (r.errorNumber != EEXIST) break;
    }
    return ValueResult<std::filesystem::path>::failure(r.error, r.errorNumber);
}

} // namespace mirtal
