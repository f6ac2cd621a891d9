#pragma once

#include "rip/SubpictureActions.h"

namespace mirtal {

class Session;

// What a full session does with each subpicture: recognise its text into
// the subtitle document, or compose it into an output bitmap that is saved
// or shown.
class SessionActions : public SubpictureActions {
public:
    explicit SessionActions(Session& session) : m_session(session) {}

    void recognise(RipEngine& engine, const SubpictureEvent& event) override;
    void saveBitmap(RipEngine& engine, const SubpictureEvent& event) override;
    void show(RipEngine& engine, const SubpictureEvent& event) override;

    // Glyphs that read as the placeholder in an unattended rip.
    int placeholders = 0;

private:
    // The bitmap adjustment step when it is due; false when the user skips
    // the picture.
    bool adjustIfDue();
    void compose();

    Session& m_session;
};

} // namespace mirtal
