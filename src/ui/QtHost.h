#pragma once

#include "rip/Host.h"
#include "ui/RipTexts.h"

#include <QElapsedTimer>
#include <QImage>
#include <QObject>

namespace mirtal {

class UiDialogs;

// The windows' implementation of the engine's host. Message boxes and file
// dialogs go through UiDialogs; the questions only a window can answer (OCR,
// bitmap adjustment, progression controller) go to the answers set up by the
// application; what the engine shows is announced for the main window.
class QtHost : public QObject, public Host {
    Q_OBJECT
public:
    // The windows that answer the engine's questions.
    class Answers {
    public:
        virtual std::optional<int> chooseTextColour(const Bitmap24& work, int guess) = 0;
        virtual GlyphAnswer askGlyph(const GlyphQuestion& question) = 0;
        virtual bool adjustBitmap() = 0;
        virtual ProgressionChoice waitAtProgression() = 0;

    protected:
        ~Answers() = default;
    };

    explicit QtHost(UiDialogs& dialogs);

    // Who answers. The application sets its windows; a test or a benchmark
    // may put its own answers in front of them (the one seam for scripting
    // the windows that wait for the user). Without answers: the guessed
    // colour, the subpicture skipped, the adjustment accepted, Next.
    void setAnswers(Answers* answers) { m_answers = answers; }
    Answers* answers() const { return m_answers; }

    Answer ask(MessageKind kind, Buttons buttons, const std::string& text) override;
    std::optional<std::filesystem::path> chooseOpenFile(const FileDialogRequest& request) override;
    std::optional<std::filesystem::path> chooseSaveFile(const FileDialogRequest& request) override;
    std::optional<int> chooseTextColour(const Bitmap24& work, int guess) override;
    GlyphAnswer askGlyph(const GlyphQuestion& question) override;
    bool adjustBitmap() override;
    ProgressionChoice waitAtProgression() override;
    void processEvents() override;
    uint32_t tickMs() override;
    void displayChanged(const RipDisplay& display) override;
    void showPicture(const Bitmap24& bitmap, const Rect& rect) override;
    void showPicture(const PaletteBitmap& bitmap, const Rect& rect) override;

    // The longest time between two event dispatches since the last reset:
    // how long the windows went without handling the user's clicks.
    qint64 longestDispatchGapMs() const { return m_longestGap; }
    void resetDispatchGap() {
        m_longestGap = 0;
        m_lastDispatch = -1;
    }

    UiDialogs& dialogs() { return m_dialogs; }

signals:
    void ripDisplayChanged(const RipDisplay& display);
    void pictureShown(const QImage& picture, const Rect& rect);

private:
    UiDialogs& m_dialogs;
    Answers* m_answers = nullptr;
    QElapsedTimer m_clock;
    qint64 m_lastDispatch = -1;
    qint64 m_longestGap = 0;
};

} // namespace mirtal
