#pragma once

#include "TempFolder.h"
#include "base/DialogHost.h"
#include "base/Files.h"
#include "base/MessageCatalogue.h"
#include "subtitles/SubtitleDocument.h"

#include <deque>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace mirtal::test {

// Message boxes and file dialogs answered from queues; every call recorded
// with the buttons it offered. An unexpected question throws.
class ScriptedDialogs : public DialogHost {
public:
    struct Question {
        MessageKind kind;
        Buttons buttons;
        std::string text;
    };
    std::deque<Answer> answers;
    std::deque<std::optional<std::filesystem::path>> openFiles, saveFiles;
    std::vector<Question> questions;
    std::vector<FileDialogRequest> openRequests, saveRequests;

    Answer ask(MessageKind kind, Buttons buttons, const std::string& text) override {
        questions.push_back({kind, buttons, text});
        return next(answers, "question: " + text);
    }
    std::optional<std::filesystem::path> chooseOpenFile(const FileDialogRequest& r) override {
        openRequests.push_back(r);
        return next(openFiles, "open dialog");
    }
    std::optional<std::filesystem::path> chooseSaveFile(const FileDialogRequest& r) override {
        saveRequests.push_back(r);
        return next(saveFiles, "save dialog");
    }

private:
    template <class T> static T next(std::deque<T>& queue, const std::string& what) {
        if (queue.empty()) throw std::runtime_error("unexpected " + what);
        T front = queue.front();
        queue.pop_front();
        return front;
    }
};

struct DocumentTest : ::testing::Test {
    FixedBannerClock clock{"01/02/2003 04:05:06"};
    SubtitleDocument doc{clock};
    MessageCatalogue messages;
    ScriptedDialogs dialogs;
};

inline TTimeCode tc(const char* text) {
    return strToTimeCode(text);
}

inline void add(SubtitleDocument& doc, const char* start, const char* stop,
                std::vector<std::string> lines, Rect rect = {}) {
    if (doc.addSubtitle(lines, false, tc(start), tc(stop), rect) != AddStatus::Added)
        throw std::runtime_error("entry not added");
}

} // namespace mirtal::test
