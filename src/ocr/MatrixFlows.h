#pragma once

#include "base/DialogHost.h"
#include "base/MessageCatalogue.h"
#include "ocr/CharMatrix.h"

#include <filesystem>
#include <functional>
#include <string>

namespace mirtal {

// Initial folders of the matrix open and save dialogs (settings keys
// OpenDialogCharMatrix and SaveDialogCharMatrix).
struct MatrixDialogFolders {
    std::filesystem::path openFolder;
    std::filesystem::path saveFolder;
};

// Text of the job setup's matrix file field: the file name without folder,
// or "New File" for a matrix that has never been saved.
std::string matrixFileFieldText(const CharMatrix& matrix);

// The user-level open, save and new commands for the character matrix, as
// logic over message boxes and file dialogs. Every message comes from the
// catalogue at the moment it is shown.
class MatrixFlows {
public:
    MatrixFlows(CharMatrix& matrix, DialogHost& host, const MessageCatalogue& messages,
                MatrixDialogFolders& folders)
        : m_matrix(matrix), m_host(host), m_messages(messages), m_folders(folders) {}

    // The matrix was replaced by a loaded or a new one (the editor rebuilds its list).
    std::function<void()> onMatrixReplaced;
    // fileName or the new-file state changed (the job setup refreshes its field).
    std::function<void()> onFileNameChanged;

    // True when a matrix was loaded.
    bool openMatrix();
    // True when the file was written.
    bool saveMatrix(bool askForName);
    // "Save": asks for a name only when no file named fileName exists.
    bool saveMatrixMenu();
    // True when the matrix was cleared.
    bool newMatrix();
    // True when the current matrix may be dropped: it was not modified, the
    // user declined to save it, or it was saved.
    bool confirmDiscardMatrix();

private:
    void warn(const std::string& text);
    FileDialogRequest dialogRequest(bool save) const;
    void fileNameChanged();

    CharMatrix& m_matrix;
    DialogHost& m_host;
    const MessageCatalogue& m_messages;
    MatrixDialogFolders& m_folders;
};

} // namespace mirtal
