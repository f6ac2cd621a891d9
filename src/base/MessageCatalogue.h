#pragma once

#include <iterator>
#include <string>
#include <vector>

namespace mirtal {

// The entries of the catalogue. A language file stores each under its number
// (the position here), so new entries go at the end.
enum class Message : int {
    MatrixFull,              // 0
    OneMatrixPerDvd,         // 1
    MatrixEmpty,             // 2
    FileBeforeName,          // 3
    ExistsReplace,           // 4
    MatrixNotValid,          // 5
    MatrixBeforeName,        // 6
    MatrixModified,          // 7
    SaveIt,                  // 8
    TextNotSavedQuit,        // 9
    ReallyQuit,              // 10
    TextFileBeforeName,      // 11
    TextFileExistsReplace,   // 12
    TextNotSavedOpen,        // 13
    ReallyOpenAnother,       // 14
    SubtitleFileError,       // 15
    IgnoreAndContinue,       // 16
    TextNotSavedClear,       // 17
    ReallyClearText,         // 18
    DeleteCharacter,         // 19
    DeleteCharacterEnd,      // 20
    TextFileNotEmpty,        // 21
    AddToEndOfFile,          // 22
    SplitOutputEnabled,      // 23
    SubtitlesMightNotAppear, // 24
    NoVobSelected,           // 25
    BadPacketHeader,         // 26
    ContinueAfterBadPacket,  // 27
    CannotOpenFile,          // 28
    MightBeEncrypted,        // 29
    TryDecrypting,           // 30
    TimeCodeWarning,         // 31
    TimeCodeReducedToZero,   // 32
    ContinueNoUndo,          // 33
    NegativeStretch,         // 34
    NegativeStretchEnd,      // 35
    SamePaletteIndexTwice,   // 36
    StopBeforeStart,         // 37
    SaveBmpsTitle,           // 38
    SaveSupsTitle,           // 39
    SaveBmpSubpictureTitle,  // 40
    SaveSupSubpictureTitle,  // 41
    EnterNameBeginning,      // 42
    SaveCurrentBmp,          // 43
    SaveProfile,             // 44
    LoadProfile,             // 45
    LoadBackgroundImage,     // 46
    JobStopped,              // 47
    FileNotFound,            // 48
    NotStorable,             // 49
    SaveVobSubTitle,         // 50
};

// The indexed texts of message boxes and dialog titles. English by default;
// a language file may replace them. Callers fetch a text when they need it,
// so a newly loaded language applies to every later message.
class MessageCatalogue {
public:
    MessageCatalogue() { fillMessageCatalogue(); }

    static constexpr int kDefaultCount = 51;

    // Clears the catalogue and puts back the built-in English texts.
    void fillMessageCatalogue();
    const std::string& text(Message message) const { return entry(int(message)); }

    // By number, for the language files: entry i, or an empty text for an
    // index past the end.
    const std::string& entry(int i) const;
    int count() const { return int(m_texts.size()); }
    // Replaces entry i, or appends it when i is the next index.
    void set(int i, const std::string& value);

private:
    std::vector<std::string> m_texts;
};

} // namespace mirtal
