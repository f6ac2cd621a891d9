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

    std::deque<Answer> answers;
    std::deque<std::optional<std::filesystem::path>> openFiles, saveFiles;
    std::deque<std::optional<int>> textColours;
    std::deque<GlyphAnswer> glyphAnswers;
    std::deque<bool> adjustAnswers;
    std::deque<ProgressionChoice> progressionAnswers;
    // Used when a glyph queue is empty; may be set to answer from a ground truth.
    std::function<GlyphAnswer(const GlyphQuestion&)> glyphResponder;
    // Called at every event dispatch, to simulate clicks during a long operation.
    std::function<void()> onProcessEvents;

    std::vector<Question> questions;
    std::vector<FileDialogRequest> fileRequests;
    std::vector<GlyphQuestion> glyphQuestions;
    std::vector<RipDisplay> displays;
    std::vector<Rect> shownRects;
    int textColourCalls = 0, adjustCalls = 0, progressionCalls = 0, eventDispatches = 0;
    uint32_t clock = 0;
    uint32_t tickStep = 0; // added to the clock at every read

    Answer ask(MessageKind kind, Buttons, const std::string& text) override {
        questions.push_back({kind, text});
        return take(answers, [&] { return unexpected<Answer>("question: " + text); });
    }
    std::optional<std::filesystem::path> chooseOpenFile(const FileDialogRequest& r) override {
        fileRequests.push_back(r);
        return take(openFiles, [&] { return unexpected<Path>("open dialog: " + r.title); });
    }
    std::optional<std::filesystem::path> chooseSaveFile(const FileDialogRequest& r) override {
        fileRequests.push_back(r);
        return take(saveFiles, [&] { return unexpected<Path>("save dialog: " + r.title); });
    }
    std::optional<int> chooseTextColour(const Bitmap24&, int guess) override {
        ++textColourCalls;
        return take(textColours, [&] { return std::optional(guess); });
    }
    GlyphAnswer askGlyph(const GlyphQuestion& q) override {
        glyphQuestions.push_back(q);
        return take(glyphAnswers, [&] {
            return glyphResponder ? glyphResponder(q) : unexpected<GlyphAnswer>("glyph question");
        });
    }
    bool adjustBitmap() override {
        ++adjustCalls;
        return take(adjustAnswers, [] { return true; });
    }
    ProgressionChoice waitAtProgression() override {
        ++progressionCalls;
        return take(progressionAnswers, [] { return ProgressionChoice::Next; });
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

private:
    using Path = std::optional<std::filesystem::path>;
    // The next queued answer, or what `orElse` gives when none is queued.
    template <typename T, typename F> static T take(std::deque<T>& queue, F orElse) {
        if (queue.empty()) return orElse();
        T a = std::move(queue.front());
        queue.pop_front();
        return a;
    }
    template <typename T> static T unexpected(const std::string& what) {
        throw std::runtime_error("unexpected " + what);
    }
};

} // namespace mirtal::test
