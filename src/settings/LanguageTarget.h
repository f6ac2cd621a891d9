#pragma once

#include <string>

namespace mirtal {

// What the language files see of the windows: each window by its name, its
// caption, its named components and its menus. The windows implement it;
// the language engine only reads and sets texts through it. Texts are
// 8-bit Windows-1252.

// A component's exact class: a subclass of one of these (a numeric field
// derived from an edit control, say) is `Other`, whose texts the language
// files do not cover.
enum class ComponentKind {
    Label,       // Caption, Hint
    Edit,        // Text, Hint
    Button,      // Caption, Hint (push buttons and bitmap buttons alike)
    RadioButton, // Caption, Hint
    CheckBox,    // Caption, Hint
    GroupBox,    // Caption, Hint
    TabSheet,    // Caption, Hint
    CoolButton,  // Hint only
    RadioGroup,  // Caption, Items0.., Hint
    Value,       // Hint only: its caption is a value or a symbol, not a text
    Other,       // nothing
};

enum class TextProperty { Caption, Text, Hint };

class LanguageComponent {
public:
    virtual ~LanguageComponent() = default;
    virtual std::string name() const = 0;
    virtual ComponentKind kind() const = 0;
    // Only the properties of the component's kind are asked for.
    virtual std::string get(TextProperty property) const = 0;
    virtual void set(TextProperty property, const std::string& value) = 0;
    // A hint read from a language file switches the control's hint display on.
    virtual void showHint() = 0;
    // Radio group items.
    virtual int itemCount() const { return 0; }
    virtual std::string item(int) const { return {}; }
    virtual void setItem(int, const std::string&) {}
};

class LanguageMenuItem {
public:
    virtual ~LanguageMenuItem() = default;
    virtual std::string name() const = 0;
    virtual std::string caption() const = 0;
    virtual void setCaption(const std::string& value) = 0;
    virtual int childCount() const = 0;
    virtual LanguageMenuItem& child(int i) = 0;
};

// A main or pop-up menu; its top-level items.
class LanguageMenu {
public:
    virtual ~LanguageMenu() = default;
    virtual std::string name() const = 0;
    virtual int itemCount() const = 0;
    virtual LanguageMenuItem& item(int i) = 0;
};

class LanguageWindow {
public:
    virtual ~LanguageWindow() = default;
    virtual std::string name() const = 0;
    virtual std::string caption() const = 0;
    virtual void setCaption(const std::string& value) = 0;
    // The components the window owns, in its own order. Components and menu
    // items without a name cannot be addressed and are passed over.
    virtual int componentCount() const = 0;
    virtual LanguageComponent& component(int i) = 0;
    virtual int menuCount() const = 0;
    virtual LanguageMenu& menu(int i) = 0;
};

// The windows whose texts a language file holds, in the order of
// kLanguageWindowOrder.
class LanguageTarget {
public:
    virtual ~LanguageTarget() = default;
    virtual int windowCount() const = 0;
    virtual LanguageWindow& window(int i) = 0;
};

// The window names in the order their texts are read and written.
inline constexpr const char* kLanguageWindowOrder[] = {
    "Form1",  "Form2",  "Form3",  "Form4",  "Form5",  "Form6",  "Form9",
    "Form10", "Form11", "Form12", "Form13", "Form14", "Form17", "Form18",
};

} // namespace mirtal
