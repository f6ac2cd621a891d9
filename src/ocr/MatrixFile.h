#pragma once

#include "base/Files.h"
#include "ocr/CharMatrix.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace mirtal {

constexpr char kMatrixSignature[] = "Mirtal_Char_Matrix_File";
constexpr size_t kMatrixSignatureLength = 23;
constexpr size_t kMatrixHeaderSize = 280;
constexpr size_t kMatrixEntrySize = 277;
constexpr size_t kMatrixPixelBytes = 254;

enum class MatrixLoadStatus { Ok, CannotRead, BadSignature, TooManyEntries, Truncated, BadEntry };

struct MatrixLoadResult {
    MatrixLoadStatus status = MatrixLoadStatus::Ok;
    std::string detail; // English reason, naming the file where there is one
    explicit operator bool() const { return status == MatrixLoadStatus::Ok; }
};

// The bytes of a matrix file.
std::string encodeMatrix(const CharMatrix& matrix);
// Reads matrix file bytes into a new matrix and moves it into `matrix` only
// when the whole file is sound, so a damaged file leaves the matrix as it was.
// The result is not modified and has no file name.
MatrixLoadResult decodeMatrix(std::span<const uint8_t> bytes, CharMatrix& matrix);

// As decodeMatrix; on success fileName is the path and Modified is cleared.
MatrixLoadResult loadMatrixFile(const std::filesystem::path& path, CharMatrix& matrix);
// Writes atomically; the matrix itself is not touched.
Result saveMatrixFile(const std::filesystem::path& path, const CharMatrix& matrix);

// Saves the matrix in `folder` as <stem>.unsaved<ext> of the matrix file's
// name or, when that exists, the first free of <stem>.unsaved-2<ext>,
// -3, ...: a rescue file, once written, is never overwritten. Gives the file
// written.
ValueResult<std::filesystem::path> saveRescueMatrix(const std::filesystem::path& folder,
                                                    const std::filesystem::path& matrixFile,
                                                    const CharMatrix& matrix);

} // namespace mirtal
