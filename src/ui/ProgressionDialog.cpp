#include "ui/ProgressionDialog.h"

#include <QGridLayout>
#include <QPushButton>

namespace mirtal {

ProgressionDialog::ProgressionDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("Form11");
    setWindowTitle("Progression Controller");
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);
    auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        return b;
    };
    QPushButton* pause = button("ButtonPause", "&Pause ||");
    m_nextButton = button("ButtonNext", "&Next >");
    QPushButton* noStop = button("ButtonNoStop", "No &Stop >>");
    QPushButton* changeColours = button("ButtonChangeColor", "Change &Colors");
    QPushButton* saveAsBmp = button("ButtonSaveAsBmp", "Save As &Bmp");
    QPushButton* saveAsSup = button("ButtonSaveAsSup", "Save As S&up");
    auto* g = new QGridLayout(this);
    g->addWidget(pause, 0, 0);
    g->addWidget(m_nextButton, 0, 1);
    g->addWidget(noStop, 0, 2);
    g->addWidget(changeColours, 1, 0);
    g->addWidget(saveAsBmp, 1, 1);
    g->addWidget(saveAsSup, 1, 2);

    connect(m_nextButton, &QPushButton::clicked, this,
            [this] { leaveWith(ProgressionChoice::Next); });
    connect(noStop, &QPushButton::clicked, this, [this] { leaveWith(ProgressionChoice::NoStop); });
    connect(pause, &QPushButton::clicked, this, [this] { leaveWith(ProgressionChoice::Pause); });
    connect(saveAsBmp, &QPushButton::clicked, this, &ProgressionDialog::saveAsBmpRequested);
    connect(saveAsSup, &QPushButton::clicked, this, &ProgressionDialog::saveAsSupRequested);
    connect(changeColours, &QPushButton::clicked, this, &ProgressionDialog::changeColoursRequested);
}

void ProgressionDialog::leaveWith(ProgressionChoice choice) {
    m_choice = choice;
    accept();
}

void ProgressionDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_choice = ProgressionChoice::Next;
    emit shown();
    m_nextButton->setFocus();
}

} // namespace mirtal
