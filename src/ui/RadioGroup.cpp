#include "ui/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace mirtal {

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), m_group(new QButtonGroup(this)), m_layout(new QVBoxLayout(this)) {
    m_layout->setContentsMargins(6, 4, 6, 4);
    m_layout->setSpacing(2);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        m_group->addButton(b, i);
        m_layout->addWidget(b);
    }
    connect(m_group, &QButtonGroup::idClicked, this, &RadioGroup::clicked);
}

int RadioGroup::itemIndex() const {
    return m_group->checkedId();
}

void RadioGroup::setItemIndex(int index) {
    if (index < 0 || index >= count()) {
        if (auto* b = m_group->checkedButton()) {
            m_group->setExclusive(false);
            b->setChecked(false);
            m_group->setExclusive(true);
        }
        return;
    }
    m_group->button(index)->setChecked(true);
}

int RadioGroup::count() const {
    return int(m_group->buttons().size());
}
QString RadioGroup::item(int i) const {
    return i >= 0 && i < count() ? m_group->button(i)->text() : QString();
}
void RadioGroup::setItem(int i, const QString& text) {
    if (i >= 0 && i < count()) m_group->button(i)->setText(text);
}
void RadioGroup::setItemEnabled(int i, bool enabled) {
    if (i >= 0 && i < count()) m_group->button(i)->setEnabled(enabled);
}
QStringList RadioGroup::items() const {
    QStringList out;
    for (int i = 0; i < count(); ++i) out << item(i);
    return out;
}

} // namespace mirtal
