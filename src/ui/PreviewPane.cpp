#include "ui/PreviewPane.h"

#include "ui/JpegImage.h"
#include "ui/QtLanguageTarget.h"

#include <QFile>
#include <QFrame>
#include <QLocale>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace mirtal {

QColor toQColor(Colour c) {
    return QColor(redOf(c), greenOf(c), blueOf(c));
}
Colour fromQColor(const QColor& c) {
    return makeColour(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
}

namespace {
constexpr int kBevelMargin = 1; // the frame's place inside the pane
}

PreviewPane::PreviewPane(QWidget* parent) : QWidget(parent) {
    setObjectName("PanelPreview");
    m_bevel = new QFrame(this);
    m_bevel->setObjectName("BevelScreen");
    m_bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    m_bevel->setLineWidth(2);
    m_back = new QLabel(this);
    m_back->setObjectName("ImageBack");
    m_back->hide();
    m_image = new QLabel(this);
    m_image->setObjectName("Image1");
    showsValue({m_back, m_image});
    m_image->hide();
    m_bevel->move(kBevelMargin, kBevelMargin);
    applyZoom(1000);
}

void PreviewPane::applyZoom(int z) {
    m_zoom = z;
    const int w = z * kFrameWidth / 1000 + 4, h = z * kFrameHeight / 1000 + 4;
    m_bevel->resize(w, h);
    m_back->setGeometry(m_bevel->x() + 2, m_bevel->y() + 2, std::max(0, w - 4), std::max(0, h - 4));
    scaleBackground();
    const QSize size(m_bevel->x() + w + kBevelMargin, m_bevel->y() + h + kBevelMargin);
    setMinimumSize(size);
    resize(size);
    placePicture(z);
}

// The stretched background is made once per zoom, not at every repaint of
// the picture above it.
void PreviewPane::scaleBackground() {
    if (m_backImage.isNull()) {
        m_back->clear();
        return;
    }
    const QSize inner = m_back->size();
    if (inner.isEmpty()) return;
    m_back->setPixmap(QPixmap::fromImage(inner == m_backImage.size()
                                             ? m_backImage
                                             : m_backImage.scaled(inner, Qt::IgnoreAspectRatio)));
}

void PreviewPane::placePicture(int z) {
    if (m_picture.isNull()) {
        m_image->hide();
        return;
    }
    int w = m_picture.width(), h = m_picture.height();
    if (z != 1000) {
        w = w * z / 1000;
        h = h * z / 1000;
    }
    if (w <= 0 || h <= 0) {
        m_image->hide();
        return;
    }
    const int x = m_atTruePos ? m_rect.X1 : 0, y = m_atTruePos ? m_rect.Y1 : 0;
    m_image->setPixmap(QPixmap::fromImage(z == 1000 ? m_picture : m_picture.scaled(w, h)));
    m_image->setGeometry(m_bevel->x() + 2 + z * x / 1000, m_bevel->y() + 2 + z * y / 1000, w, h);
    m_image->show();
    m_image->raise();
}

void PreviewPane::showPicture(const QImage& picture, const Rect& rect) {
    m_rect = rect;
    m_picture = picture;
    placePicture(m_zoom);
    m_image->update();
}

int PreviewPane::presetBand(int mode) {
    return mode == 1 ? 94 : mode == 2 ? 135 : 85;
}

int PreviewPane::autoZoom(int width, int height) {
    const int zx = width >= 24 ? (width - 23) * 1000 / kFrameWidth : 1;
    const int zy = height >= 111 ? (height - 110) * 1000 / kFrameHeight : 1;
    return std::min(zx, zy);
}

bool PreviewPane::setUpBackground(const PreviewSettings& s, QString* error) {
    if (s.BackMode == 0) {
        m_back->hide();
        return true;
    }
    bool ok = true;
    if (s.BackMode == 1 || s.BackMode == 2) {
        const int band = s.BackMode == 1 ? presetBand(s.AspectRatioMode) : s.FreeAspectRatio;
        QImage img(kFrameWidth, kFrameHeight, QImage::Format_RGB32);
        img.fill(toQColor(s.InnerColor));
        QPainter p(&img);
        const QColor border = toQColor(s.BorderColor);
        p.fillRect(0, 0, kFrameWidth, std::clamp(band, 0, kFrameHeight), border);
        const int lower = std::clamp(kFrameHeight - band, 0, kFrameHeight);
        p.fillRect(0, lower, kFrameWidth, kFrameHeight - lower, border);
        p.end();
        m_backImage = img;
    } else if (s.BackMode == 3) {
        const QString name = QString::fromStdString(s.BackImageName);
        if (!name.isEmpty() && QFile::exists(name)) {
            QImage img = loadBackgroundImage(name, error);
            if (img.isNull())
                ok = false;
            else
                m_backImage = img;
        }
    }
    scaleBackground();
    m_back->show();
    m_back->lower();
    m_bevel->lower();
    m_back->update();
    return ok;
}

QString PreviewPane::freeRatioText(int band) {
    if (2 * band == kFrameHeight) return QStringLiteral("*");
    // Hundredths rounded half to even (the default rounding mode), then the
    // shortest form of the number.
    const double r = std::nearbyint(72000.0 / (kFrameHeight - 2 * band)) / 100.0;
    return QLocale().toString(r, 'g', 15) + QStringLiteral(":1");
}

} // namespace mirtal
