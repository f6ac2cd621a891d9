#include "ui/AboutDialog.h"

#include "ui/QtLanguageTarget.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace mirtal {

namespace {

// The program's picture: a subtitle frame with a line of text under a lens.
QPixmap aboutPicture() {
    QPixmap pm(220, 120);
    pm.fill(QColor(0x20, 0x24, 0x3a));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(10, 10, 200, 100, QColor(0x8b, 0x6f, 0x6d));
    p.fillRect(10, 28, 200, 64, QColor(0xbb, 0xba, 0xc7));
    QFont f = p.font();
    f.setBold(true);
    f.setPointSize(14);
    p.setFont(f);
    QPainterPath text;
    text.addText(32, 80, f, "Subtitles...");
    p.setPen(QPen(Qt::black, 3));
    p.drawPath(text);
    p.fillPath(text, Qt::white);
    p.setPen(QPen(QColor(0x33, 0x33, 0xff), 3));
    p.drawEllipse(QPoint(150, 58), 26, 26);
    p.drawLine(169, 77, 195, 103);
    return pm;
}

} // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("Form12");
    setWindowTitle("About");
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    auto* v = new QVBoxLayout(this);
    auto* pic = new QLabel(this);
    pic->setObjectName("Image1");
    pic->setPixmap(aboutPicture());
    v->addWidget(pic, 0, Qt::AlignHCenter);
    auto* name = new QLabel("Mirtal", this);
    name->setObjectName("Label1");
    QFont f = name->font();
    f.setPointSize(f.pointSize() + 6);
    f.setBold(true);
    name->setFont(f);
    v->addWidget(name, 0, Qt::AlignHCenter);
    auto* version = new QLabel("0.94", this);
    version->setObjectName("LabelVersion");
    showsValue({version});
    v->addWidget(version, 0, Qt::AlignHCenter);
    auto* version2 = new QLabel("Version 0.94", this);
    version2->setObjectName("LabelVersion2");
    v->addWidget(version2, 0, Qt::AlignHCenter);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("BitBtn1");
    ok->setDefault(true);
    v->addWidget(ok, 0, Qt::AlignHCenter);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    // A small shaped window: rounded corners.
    adjustSize();
    QPainterPath path;
    path.addRoundedRect(rect(), 18, 18);
    setMask(QRegion(path.toFillPolygon().toPolygon()));
}

} // namespace mirtal
