#pragma once

#include "base/Colour.h"
#include "settings/ProgramSettings.h"

#include <QImage>
#include <QLabel>
#include <QWidget>

class QFrame;

namespace mirtal {

// The preview of the main window: a frame standing for the 720 x 576 video
// frame at the current zoom, a drawn or loaded background inside it, and the
// current picture on top, optionally at its true position.
class PreviewPane : public QWidget {
    Q_OBJECT
public:
    explicit PreviewPane(QWidget* parent = nullptr);

    // Remembers the rectangle and shows a copy of the picture there.
    void showPicture(const QImage& picture, const Rect& rect);
    // z in tenths of a percent (1000 = 100 %).
    void applyZoom(int z);
    void placePicture(int z);
    void setAtTruePos(bool on) { m_atTruePos = on; }
    bool atTruePos() const { return m_atTruePos; }

    // Paints the preset or free bands, or loads the image file. A missing
    // image file keeps the previous background silently; a file that cannot
    // be decoded keeps it too and returns false with the reason. The caller
    // applies the zoom afterwards.
    bool setUpBackground(const PreviewSettings& settings, QString* error = nullptr);

    // "1.77:1" for 85, "*" for 288; the decimal separator is the user's.
    static QString freeRatioText(int band);
    static int presetBand(int aspectRatioMode);
    // The zoom that fits the frame into a main window of this size.
    static int autoZoom(int windowWidth, int windowHeight);

    const Rect& currentRect() const { return m_rect; }
    const QImage& picture() const { return m_picture; }
    const QImage& backgroundImage() const { return m_backImage; }
    QLabel* image() const { return m_image; }
    QLabel* background() const { return m_back; }
    QFrame* bevel() const { return m_bevel; }
    int zoom() const { return m_zoom; }

private:
    void scaleBackground();

    QFrame* m_bevel;
    QLabel* m_back;
    QLabel* m_image;
    QImage m_picture;
    QImage m_backImage;
    Rect m_rect;
    bool m_atTruePos = true;
    int m_zoom = 1000;
};

QColor toQColor(Colour c);
Colour fromQColor(const QColor& c);

} // namespace mirtal
