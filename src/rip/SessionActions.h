#pragma once

#include "base/MessageCatalogue.h"
#include "rip/SubpictureActions.h"

#include <filesystem>
#include <optional>

namespace mirtal {

class Session;

// What a full session does with each subpicture: recognise its text into
// the subtitle document, or compose it into an output bitmap that is saved
// or shown.
class SessionActions : public SubpictureActions {
public:
    explicit SessionActions(Session& session) : m_session(session) {}

    void recognise(RipEngine& engine, const SubpictureEvent& event) override;
    Result saveBitmap(RipEngine& engine, const SubpictureEvent& event) override;
    void show(RipEngine& engine, const SubpictureEvent& event) override;

    // The progression controller's buttons, for a host to call while it waits
    // with a picture on display. The saves ask for the beginning of a name and
    // always append ".BMP" or ".SUP"; false when cancelled or when the write
    // failed (reported). The window stays open either way.
    bool saveShownPictureAsBmp();
    bool saveCurrentSpuAsSup();
    // "Change Colors": the bitmap adjustment step, then the picture is
    // composed and shown again.
    void changeColours();

    // Initial folder of the on-demand save dialog; takes the folder of the
    // last name chosen.
    std::filesystem::path pictureFolder;

    // Glyphs that read as the placeholder in an unattended rip.
    int placeholders = 0;

private:
    // The bitmap adjustment step when it is due; false when the user skips
    // the picture.
    bool adjustIfDue();
    bool adjust();
    // The save dialog for the current picture: title from the catalogue.
    std::optional<std::filesystem::path> chooseNameBeginning(Message title);

    Session& m_session;
};

} // namespace mirtal
