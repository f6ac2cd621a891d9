#pragma once

#include "rip/Host.h"

#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace mirtal::test {

// A scripted host: answers are queued in advance, every call is recorded.
// An unexpected question fails loudly instead of guessing an answer.
class FakeHost : public Host {
public:
    struct Question {
        MessageKind kind;
        std::string text;
    };

    // Queued answers.
    std::deque<Answer> answers;
    std::deque<std::optional<std::filesystem::path>> openFiles;
    std::deque<std::optional<std::filesystem::path>> saveFiles;
    std::deque<std::optional<int>> textColours;
    std::deque<GlyphAnswer> glyphAnswers;
    std::deque<bool> adjustAnswers;
    std::deque<ProgressionChoice> progressionAnswers;
    // Used when a glyph queue is empty; may be set to answer from a ground truth.
    std::function<GlyphAnswer(const GlyphQuestion&)> glyphResponder;
    // Called at every event dispatch, to simulate clicks during a long operation.
    std::function<void()> onProcessEvents;

    // Records.
    std::vector<Question> questions;
    std::vector<FileDialogRequest> fileRequests;
    std::vector<GlyphQuestion> glyphQuestions;
    std::vector<RipDisplay> displays;
    std::vector<Rect> shownRects;
    int textColourCalls = 0;
    int adjustCalls = 0;
    int progressionCalls = 0;
    int eventDispatches = 0;
    uint32_t clock = 0;
    uint32_t tickStep = 0; // added to the clock at every read

    Answer ask(MessageKind kind, Buttons, const std::string& text) override {
        questions.push_back({kind, text});
        if (answers.empty()) throw std::runtime_error("unexpected question: " + text);
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<std::filesystem::path> chooseOpenFile(const FileDialogRequest& r) override {
        fileRequests.push_back(r);
        if (openFiles.empty()) throw std::runtime_error("unexpected open dialog: " + r.title);
        auto f = openFiles.front();
        openFiles.pop_front();
        return f;
    }
    std::optional<std::filesystem::path> chooseSaveFile(const FileDialogRequest& r) override {
        fileRequests.push_back(r);
        if (saveFiles.empty()) throw std::runtime_error("unexpected save dialog: " + r.title);
        auto f = saveFiles.front();
        saveFiles.pop_front();
        return f;
    }
    std::optional<int> chooseTextColour(const Bitmap24&, int guess) override {
        ++textColourCalls;
        if (textColours.empty()) return guess;
        auto c = textColours.front();
        textColours.pop_front();
        return c;
    }
    GlyphAnswer askGlyph(const GlyphQuestion& q) override {
        glyphQuestions.push_back(q);
        if (!glyphAnswers.empty()) {
            GlyphAnswer a = glyphAnswers.front();
            glyphAnswers.pop_front();
            return a;
        }
        if (glyphResponder) return glyphResponder(q);
        throw std::runtime_error("unexpected glyph question");
    }
    bool adjustBitmap() override {
        ++adjustCalls;
        if (adjustAnswers.empty()) return true;
        bool a = adjustAnswers.front();
        adjustAnswers.pop_front();
        return a;
    }
    ProgressionChoice waitAtProgression() override {
        ++progressionCalls;
        if (progressionAnswers.empty()) return ProgressionChoice::Next;
        auto a = progressionAnswers.front();
        progressionAnswers.pop_front();
        return a;
    }
    void processEvents() override {
        ++eventDispatches;
        if (onProcessEvents) onProcessEvents();
    }
    uint32_t tickMs() override {
        clock += tickStep;
        return clock;
    }
    void displayChanged(const RipDisplay& d) override { displays.push_back(d); }
    void showPicture(const Bitmap24&, const Rect& r) override { shownRects.push_back(r); }
    void showPicture(const PaletteBitmap&, const Rect& r) override { shownRects.push_back(r); }
};

} // namespace mirtal::test
