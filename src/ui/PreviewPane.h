#pragma once

#include "base/Colour.h"

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

    void showPicture(const QImage& picture, const Rect& rect);
    // z in tenths of a percent (1000 = 100 %).
    void ApplyZoom(int z);
    void PlacePicture(int z);
    void setAtTruePos(bool on) { m_atTruePos = on; }

    struct Background {
        int BackMode = 1; // 0 none, 1 preset, 2 free, 3 image
        int AspectRatioMode = 0;
        int FreeAspectRatio = 30;
        Colour BorderColor = 0x6D6F8B;
        Colour InnerColor = 0xC7BABB;
        QString BackImageName;
    };
    void SetUpBackground(const Background& b);

    // "1.77:1" for 85, "*" for 288; the decimal separator is the user's.
    static QString FreeRatioText(int band);
    static int presetBand(int aspectRatioMode);

    const Rect& currentRect() const { return m_rect; }
    QLabel* image() const { return m_image; }
    QLabel* background() const { return m_back; }
    QFrame* bevel() const { return m_bevel; }
    int zoom() const { return m_zoom; }

private:
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
