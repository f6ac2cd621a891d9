#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QVBoxLayout;

namespace mirtal {

// A captioned group of radio buttons addressed by item index, as the
// dialogs use them: items can be renamed (language files), and a click
// reports the new index.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit RadioGroup(const QString& caption, const QStringList& items,
                        QWidget* parent = nullptr);

    int itemIndex() const;
    void setItemIndex(int index); // -1 clears; fires no signal
    int count() const;
    QString item(int i) const;
    void setItem(int i, const QString& text);
    QStringList items() const;
    void setItemEnabled(int i, bool enabled);

signals:
    void clicked(int index);

private:
    QButtonGroup* m_group;
    QVBoxLayout* m_layout;
};

} // namespace mirtal
