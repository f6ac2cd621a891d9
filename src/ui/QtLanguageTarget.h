#pragma once

#include "settings/LanguageTarget.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class QString;
class QWidget;

namespace mirtal {

// What a language file sees of one widget, decided by its exact class: a
// QLabel is a label, a QLineEdit an edit and so on, while a class derived
// from one of them (the numeric fields derived from QLineEdit, say) is
// `Other`. A page of a QTabWidget is a tab sheet whatever its class.
ComponentKind languageKindOf(const QWidget* widget);

// Marks controls whose caption the program fills with a value (a counter, a
// time, a picture) or a symbol that Windows-1252 cannot hold: a language
// file neither exports nor replaces it, only its hint.
void showsValue(std::initializer_list<QWidget*> widgets);

// Language texts are Windows-1252. The pause buttons show the character 127
// of their stored caption as a double bar; the language texts carry the
// character itself.
std::string toLanguageText(const QString& text);
QString fromLanguageText(const std::string& text);

// The language files' view of the program's windows: for each window its
// caption, every named widget it holds (down to, but not into, other
// windows) and its menu bars and pop-up menus. Built from the widget trees
// as they are at construction; build a new one after the windows change.
class QtLanguageTarget : public LanguageTarget {
public:
    // The windows in the order their texts are read and written; null
    // entries (windows this build does not have) are passed over.
    explicit QtLanguageTarget(const std::vector<QWidget*>& windows);
    ~QtLanguageTarget() override;

    int windowCount() const override;
    LanguageWindow& window(int i) override;

private:
    std::vector<std::unique_ptr<LanguageWindow>> m_windows;
};

} // namespace mirtal
