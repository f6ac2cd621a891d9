#include "ocr/MatrixFlows.h"

#include "ocr/MatrixFile.h"

#include <system_error>

namespace mirtal {

namespace fs = std::filesystem;

namespace {

const char* const kFilter = "Mirtal Charater Matrix (*.qmx)|*.qmx";

std::string nameWithoutFolder(const std::string& path) {
    return fs::path(path).filename().string();
}

bool fileExists(const fs::path& path) {
    std::error_code ec;
    return !path.empty() && fs::exists(path, ec);
}

} // namespace

std::string matrixFileFieldText(const CharMatrix& matrix) {
    if (matrix.fileName().empty()) return "New File";
    return nameWithoutFolder(matrix.fileName());
}

void MatrixFlows::warn(const std::string& text) {
    m_host.ask(MessageKind::Warning, {Answer::Ok}, text);
}

void MatrixFlows::fileNameChanged() {
    if (onFileNameChanged) onFileNameChanged();
}

FileDialogRequest MatrixFlows::dialogRequest(bool save) const {
    FileDialogRequest r;
    r.filter = kFilter;
    if (save) {
        r.title = "Save current Character Matrix File";
        r.defaultExtension = "qmx";
        r.initialFolder = m_folders.saveFolder;
        r.initialName = nameWithoutFolder(m_matrix.fileName());
        r.rewrites = m_matrix.fileName();
    } else {
        r.title = "Open a previously created Character Matrix File";
        r.initialFolder = m_folders.openFolder;
    }
    return r;
}

bool MatrixFlows::openMatrix() {
    if (!confirmDiscardMatrix()) return false;
    auto chosen = m_host.chooseOpenFile(dialogRequest(false));
    if (!chosen) return false;
    m_folders.openFolder = m_folders.saveFolder = chosen->parent_path();
    MatrixLoadResult result = loadMatrixFile(*chosen, m_matrix);
    switch (result.status) {
    case MatrixLoadStatus::Ok:
        if (onMatrixReplaced) onMatrixReplaced();
        fileNameChanged();
        return true;
    case MatrixLoadStatus::BadSignature:
        warn(m_messages.text(Message::MatrixNotValid));
        return false;
    case MatrixLoadStatus::CannotRead:
        warn(result.detail);
        return false;
    case MatrixLoadStatus::TooManyEntries:
    case MatrixLoadStatus::Truncated:
    case MatrixLoadStatus::BadEntry:
        warn(m_messages.text(Message::MatrixNotValid) + "\r" + result.detail);
        return false;
    }
    return false;
}

bool MatrixFlows::saveMatrix(bool askForName) {
    if (m_matrix.count() == 0) {
        warn(m_messages.text(Message::MatrixEmpty));
        return false;
    }
    fs::path target = m_matrix.fileName();
    if (askForName) {
        auto chosen = m_host.chooseSaveFile(dialogRequest(true));
        if (!chosen) return false;
        if (fileExists(*chosen)) {
            const std::string question = m_messages.text(Message::FileBeforeName) +
                                         chosen->filename().string() +
                                         m_messages.text(Message::ExistsReplace);
            if (m_host.ask(MessageKind::Warning, {Answer::Yes, Answer::No}, question) !=
                Answer::Yes)
                return false;
        }
        target = *chosen;
    }
    if (target.empty()) return saveMatrix(true);
    m_folders.openFolder = m_folders.saveFolder = target.parent_path();
    Result written = saveMatrixFile(target, m_matrix);
    if (!written) {
        // The matrix stays modified and keeps its old name, so nothing is lost
        // and the next save tries again.
        warn(written.error);
        return false;
    }
    m_matrix.setFileName(target.string());
    m_matrix.setModified(false);
    fileNameChanged();
    return true;
}

bool MatrixFlows::saveMatrixMenu() {
    return saveMatrix(!fileExists(m_matrix.fileName()));
}

bool MatrixFlows::newMatrix() {
    if (!confirmDiscardMatrix()) return false;
    m_matrix.clearMatrix();
    if (onMatrixReplaced) onMatrixReplaced();
    fileNameChanged();
    return true;
}

bool MatrixFlows::confirmDiscardMatrix() {
    if (!m_matrix.isModified()) return true;
    const std::string question =
        m_messages.text(Message::MatrixBeforeName) + nameWithoutFolder(m_matrix.fileName()) +
        m_messages.text(Message::MatrixModified) + "\r" + m_messages.text(Message::SaveIt);
    switch (m_host.ask(MessageKind::Warning, {Answer::Yes, Answer::No, Answer::Cancel}, question)) {
    case Answer::No:
        return true;
    case Answer::Yes:
        // A matrix the user wanted kept is only dropped once it is on disk; an
        // empty one has nothing worth keeping.
        return saveMatrixMenu() || m_matrix.count() == 0;
    default:
        return false;
    }
}

} // namespace mirtal
