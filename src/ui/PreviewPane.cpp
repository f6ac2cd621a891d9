#include "ui/PreviewPane.h"

#include "ui/JpegImage.h"

#include <QFile>
#include <QFrame>
#include <QLocale>
#include <QPainter>

#include <cmath>

namespace mirtal {

QColor toQColor(Colour c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }
Colour fromQColor(const QColor& c) { return makeColour(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue())); }

PreviewPane::PreviewPane(QWidget* parent) : QWidget(parent) {
    setObjectName("PanelPreview");
    m_bevel = new QFrame(this);
    m_bevel->setObjectName("BevelScreen");
    m_bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    m_back = new QLabel(this);
    m_back->setObjectName("ImageBack");
    m_back->setScaledContents(true);
    m_image = new QLabel(this);
    m_image->setObjectName("Image1");
    m_image->setScaledContents(true);
    m_bevel->move(4, 4);
    ApplyZoom(1000);
}

void PreviewPane::ApplyZoom(int z) {
    m_zoom = z;
    const int w = z * 720 / 1000 + 4, h = z * 576 / 1000 + 4;
    m_bevel->resize(w, h);
    m_back->setGeometry(m_bevel->x() + 2, m_bevel->y() + 2, std::max(0, w - 4), std::max(0, h - 4));
    setMinimumSize(m_bevel->x() + w + 4, m_bevel->y() + h + 4);
    PlacePicture(z);
}

void PreviewPane::PlacePicture(int z) {
    if (m_picture.isNull()) {
        m_image->hide();
        return;
    }
    int w = m_picture.width(), h = m_picture.height();
    if (z != 1000) {
        w = w * z / 1000;
        h = h * z / 1000;
    }
    const int x = m_atTruePos ? m_rect.X1 : 0, y = m_atTruePos ? m_rect.Y1 : 0;
    m_image->setGeometry(m_bevel->x() + 2 + z * x / 1000, m_bevel->y() + 2 + z * y / 1000, w, h);
    m_image->show();
    m_image->raise();
}

void PreviewPane::showPicture(const QImage& picture, const Rect& rect) {
    m_rect = rect;
    m_picture = picture;
    m_image->setPixmap(QPixmap::fromImage(picture));
    PlacePicture(m_zoom);
    m_image->repaint();
}

int PreviewPane::presetBand(int mode) { return mode == 1 ? 94 : mode == 2 ? 135 : 85; }

void PreviewPane::SetUpBackground(const Background& b) {
    if (b.BackMode == 0) {
        m_back->hide();
        return;
    }
    if (b.BackMode == 1 || b.BackMode == 2) {
        const int band = b.BackMode == 1 ? presetBand(b.AspectRatioMode) : b.FreeAspectRatio;
        QImage img(720, 576, QImage::Format_RGB32);
        QPainter p(&img);
        for (int y = 0; y < 576; ++y) {
            const bool border = y < band || y >= 576 - band;
            p.setPen(toQColor(border ? b.BorderColor : b.InnerColor));
            p.drawLine(0, y, 719, y);
        }
        p.end();
        m_backImage = img;
    } else if (b.BackMode == 3) {
        // A background file that is gone or unreadable keeps the previous picture.
        if (!b.BackImageName.isEmpty() && QFile::exists(b.BackImageName)) {
            QImage img = loadBackgroundImage(b.BackImageName);
            if (!img.isNull()) m_backImage = img;
        }
    }
    m_back->setPixmap(QPixmap::fromImage(m_backImage));
    m_back->show();
    m_back->lower();
    m_bevel->lower();
    m_back->repaint();
    ApplyZoom(m_zoom);
}

QString PreviewPane::FreeRatioText(int band) {
    if (2 * band == 576) return QStringLiteral("*");
    // Round half to even on hundredths, then print the shortest form.
    const double r = std::nearbyint(72000.0 / (576 - 2 * band)) / 100.0;
    QString s = QLocale().toString(r, 'g', 15);
    return s + QStringLiteral(":1");
}

} // namespace mirtal
