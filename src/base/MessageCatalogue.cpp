#include "base/MessageCatalogue.h"

namespace mirtal {

namespace {

// Texts are Windows-1252 bytes.
const char* const kEnglish[MessageCatalogue::kDefaultCount] = {
    "Maximum Number of Characters reached : ",                // 0
    "You have to use a different char. matrix for each DVD.", // 1
    "The Character Matrix is Empty !",                        // 2
    "File ",                                                  // 3
    " already exists ! Replace ?",                            // 4
    "This is NOT a valid Char Matrix File !",                 // 5
    "Character Matrix ",                                      // 6
    " has been modified.",                                    // 7
    "Do you want to Save it ?",                               // 8
    "Text NOT Saved !",                                       // 9
    "Do you really want to quit ?",                           // 10
    "File ",                                                  // 11
    " already exists ! Replace file ?",                       // 12
    "Text NOT Saved !",                                       // 13
    "Do you really want to open another file ?",              // 14
    "Error in file at Subtitle N\xB0"
    " ",                                                             // 15
    "Ignore and Continue ?",                                         // 16
    "Text NOT Saved !",                                              // 17
    "Do you really want to clear all text ?",                        // 18
    "Delete character \"",                                           // 19
    "\" ?",                                                          // 20
    "Subtitles text file isn't empty.",                              // 21
    "Add to the end of file ?",                                      // 22
    "Warning: Split Output File function is enabled",                // 23
    "The new Subtitles might NOT appear until you disable it !",     // 24
    "No VOB selected !!",                                            // 25
    "Bad Packet Header at LBA: ",                                    // 26
    "Do you want to continue ?",                                     // 27
    "Can't open file ",                                              // 28
    " ,it might be crypted",                                         // 29
    "You can try to decrypt it with DVD Decrypter, DECSS or VOBDec", // 30
    "Warning : Time Code ",                                          // 31
    " will be reduced to 00:00:00,000",                              // 32
    "Do you want to continue ? ( No undo ! )",                       // 33
    "You can't make a minus time Stretch with a time",               // 34
    "that is larger than the total file time !",                     // 35
    "You can't select the same Palette Index twice !!",              // 36
    "The Stop time is smaller than the Start time !",                // 37
    "Save BMPs : Enter beginning of File Name",                      // 38
    "Save SUPs : Enter beginning of File Name",                      // 39
    "Save as BMP Subpicture N\xB0"
    " ", // 40
    "Save as SUP Subpicture N\xB0"
    " ",                                                           // 41
    " , enter the beginning of File Name",                         // 42
    "Save current BMP",                                            // 43
    "Save current BMP Settings as a Profile file",                 // 44
    "Load BMP Settings from a Profile file",                       // 45
    "Load a Background Image",                                     // 46
    "The job has been stopped.",                                   // 47
    "File not found : ",                                           // 48
    "These characters can't be stored in the Character Matrix : ", // 49
    "Save VobSub : Enter the File Name (.idx + .sub)",             // 50
};

} // namespace

void MessageCatalogue::fillMessageCatalogue() {
    m_texts.assign(std::begin(kEnglish), std::end(kEnglish));
}

const std::string& MessageCatalogue::entry(int i) const {
    static const std::string empty;
    return i >= 0 && i < int(m_texts.size()) ? m_texts[size_t(i)] : empty;
}

void MessageCatalogue::set(int i, const std::string& value) {
    if (i < 0) return;
    if (i < int(m_texts.size()))
        m_texts[size_t(i)] = value;
    else if (i == int(m_texts.size()))
        m_texts.push_back(value);
}

} // namespace mirtal
