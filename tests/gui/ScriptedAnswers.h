#pragma once

#include "ui/QtHost.h"

#include <functional>
#include <optional>

namespace mirtal::test {

// The engine's questions that wait for the user, answered by the test where
// it says so and by the windows otherwise: put in front of the windows'
// answers for as long as it lives (it must not outlive the application).
struct ScriptedAnswers final : QtHost::Answers {
    explicit ScriptedAnswers(QtHost& host) : windows(*host.answers()) { host.setAnswers(this); }

    std::function<std::optional<int>(const Bitmap24&, int)> onChooseTextColour;
    std::function<GlyphAnswer(const GlyphQuestion&)> onAskGlyph;
    std::function<bool()> onAdjustBitmap;
    std::function<ProgressionChoice()> onWaitAtProgression;
    QtHost::Answers& windows;

    std::optional<int> chooseTextColour(const Bitmap24& work, int guess) override {
        return onChooseTextColour ? onChooseTextColour(work, guess)
                                  : windows.chooseTextColour(work, guess);
    }
    GlyphAnswer askGlyph(const GlyphQuestion& q) override {
        return onAskGlyph ? onAskGlyph(q) : windows.askGlyph(q);
    }
    bool adjustBitmap() override {
        return onAdjustBitmap ? onAdjustBitmap() : windows.adjustBitmap();
    }
    ProgressionChoice waitAtProgression() override {
        return onWaitAtProgression ? onWaitAtProgression() : windows.waitAtProgression();
    }
};

} // namespace mirtal::test
