#pragma once

#include "rip/Host.h"
#include "ui/RipTexts.h"

#include <QElapsedTimer>

#include <functional>

namespace mirtal {

class UiDialogs;

// The windows' implementation of the engine's host. Message boxes and file
// dialogs go through UiDialogs; the OCR questions, the bitmap adjustment
// step and the progression controller through the hooks that the windows
// owning them install.
class QtHost : public Host {
public:
    explicit QtHost(UiDialogs& dialogs);

    Answer ask(MessageKind kind, Buttons buttons, const std::string& text) override;
    std::optional<std::filesystem::path> chooseOpenFile(const FileDialogRequest& request) override;
    std::optional<std::filesystem::path> chooseSaveFile(const FileDialogRequest& request) override;
    std::optional<int> chooseTextColor(const Bitmap24& work, int guess) override;
    GlyphAnswer askGlyph(const GlyphQuestion& question) override;
    bool adjustBitmap() override;
    ProgressionChoice waitAtProgression() override;
    void processEvents() override;
    uint32_t tickMs() override;
    void displayChanged(const RipDisplay& display) override;
    void showPicture(const Bitmap24& bitmap, const Rect& rect) override;
    void showPicture(const PaletteBitmap& bitmap, const Rect& rect) override;

    std::function<std::optional<int>(const Bitmap24&, int)> onChooseTextColor;
    std::function<GlyphAnswer(const GlyphQuestion&)> onAskGlyph;
    std::function<bool()> onAdjustBitmap;
    std::function<ProgressionChoice()> onWaitAtProgression;
    std::function<void(const RipTexts&)> onDisplayChanged;
    std::function<void(const Bitmap24&, const Rect&)> onShowPicture24;
    std::function<void(const PaletteBitmap&, const Rect&)> onShowPicturePalette;

    // The longest time between two event dispatches since the last reset:
    // how long the windows went without handling the user's clicks.
    qint64 longestDispatchGapMs() const { return m_longestGap; }
    void resetDispatchGap() {
        m_longestGap = 0;
        m_lastDispatch = -1;
    }

    UiDialogs& dialogs() { return m_dialogs; }

private:
    UiDialogs& m_dialogs;
    QElapsedTimer m_clock;
    qint64 m_lastDispatch = -1;
    qint64 m_longestGap = 0;
};

} // namespace mirtal
