#include "ui/ProgressionDialog.h"

#include <QGridLayout>
#include <QPushButton>

namespace mirtal {

ProgressionDialog::ProgressionDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("Form11");
    setWindowTitle("Progression Controller");
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);
    auto mk = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        return b;
    };
    ButtonPause = mk("ButtonPause", "&Pause ||");
    ButtonNext = mk("ButtonNext", "&Next >");
    ButtonNoStop = mk("ButtonNoStop", "No &Stop >>");
    ButtonChangeColor = mk("ButtonChangeColor", "Change &Colors");
    ButtonSaveAsBmp = mk("ButtonSaveAsBmp", "Save As &Bmp");
    ButtonSaveAsSup = mk("ButtonSaveAsSup", "Save As S&up");
    auto* g = new QGridLayout(this);
    g->addWidget(ButtonPause, 0, 0);
    g->addWidget(ButtonNext, 0, 1);
    g->addWidget(ButtonNoStop, 0, 2);
    g->addWidget(ButtonChangeColor, 1, 0);
    g->addWidget(ButtonSaveAsBmp, 1, 1);
    g->addWidget(ButtonSaveAsSup, 1, 2);

    connect(ButtonNext, &QPushButton::clicked, this, [this] {
        m_choice = ProgressionChoice::Next;
        accept();
    });
    connect(ButtonNoStop, &QPushButton::clicked, this, [this] {
        m_choice = ProgressionChoice::NoStop;
        accept();
    });
    connect(ButtonPause, &QPushButton::clicked, this, [this] {
        m_choice = ProgressionChoice::Pause;
        accept();
    });
    connect(ButtonSaveAsBmp, &QPushButton::clicked, this, [this] {
        if (onSaveAsBmp) onSaveAsBmp();
    });
    connect(ButtonSaveAsSup, &QPushButton::clicked, this, [this] {
        if (onSaveAsSup) onSaveAsSup();
    });
    connect(ButtonChangeColor, &QPushButton::clicked, this, [this] {
        if (onChangeColor) onChangeColor();
    });
}

void ProgressionDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_choice = ProgressionChoice::Next;
    if (onShown) onShown();
    ButtonNext->setFocus();
}

} // namespace mirtal
