#include "ui/QtLanguageTarget.h"

#include "ui/RadioGroup.h"
#include "ui/UiDialogs.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMovie>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>

namespace mirtal {

namespace {

constexpr QChar kPauseGlyph(0x2016);
constexpr char kPauseChar = 127;
constexpr const char* kShowsValue = "showsValue";

template <typename T> bool isExactly(const QObject* o) {
    return o->metaObject() == &T::staticMetaObject;
}

// The tab widget of which `w` is a page, if any.
QTabWidget* tabWidgetOf(const QWidget* w) {
    auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget());
    if (!stack) return nullptr;
    auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget());
    if (!tabs || tabs->indexOf(const_cast<QWidget*>(w)) < 0) return nullptr;
    return tabs;
}

// Qt's own helper widgets (a spin box's edit field, a tab widget's bar, a
// menu bar's extension button) are not the window's components.
bool isAddressable(const QObject* o) {
    const QString name = o->objectName();
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

bool showsPicture(const QLabel* l) {
    return !l->pixmap().isNull() || l->movie();
}

class WidgetComponent : public LanguageComponent {
public:
    WidgetComponent(QWidget* w, ComponentKind kind) : m_widget(w), m_kind(kind) {}

    std::string name() const override {
        return m_widget ? toLanguageText(m_widget->objectName()) : std::string();
    }
    ComponentKind kind() const override { return m_widget ? m_kind : ComponentKind::Other; }

    std::string get(TextProperty property) const override {
        if (!m_widget) return {};
        return toLanguageText(property == TextProperty::Hint ? hint() : text());
    }

    void set(TextProperty property, const std::string& value) override {
        if (!m_widget) return;
        const QString v = fromLanguageText(value);
        if (property == TextProperty::Hint)
            setHint(v);
        else
            setText(v);
    }

    // Qt shows any tooltip a widget has; there is no separate switch to turn on.
    void showHint() override {}

    int itemCount() const override {
        auto* g = radioGroup();
        return g ? g->count() : 0;
    }
    std::string item(int i) const override {
        auto* g = radioGroup();
        return g ? toLanguageText(g->item(i)) : std::string();
    }
    void setItem(int i, const std::string& value) override {
        if (auto* g = radioGroup()) g->setItem(i, fromLanguageText(value));
    }

private:
    RadioGroup* radioGroup() const {
        return m_kind == ComponentKind::RadioGroup ? qobject_cast<RadioGroup*>(m_widget.data())
                                                   : nullptr;
    }

    QString text() const {
        QWidget* w = m_widget;
        switch (m_kind) {
        case ComponentKind::Label:
            return static_cast<QLabel*>(w)->text();
        case ComponentKind::Edit:
            return static_cast<QLineEdit*>(w)->text();
        case ComponentKind::Button:
        case ComponentKind::RadioButton:
        case ComponentKind::CheckBox:
            return static_cast<QAbstractButton*>(w)->text();
        case ComponentKind::GroupBox:
        case ComponentKind::RadioGroup:
            return static_cast<QGroupBox*>(w)->title();
        case ComponentKind::TabSheet:
            if (QTabWidget* t = tabWidgetOf(w)) return t->tabText(t->indexOf(w));
            return {};
        case ComponentKind::CoolButton:
        case ComponentKind::Value:
        case ComponentKind::Other:
            return {};
        }
        return {};
    }

    void setText(const QString& v) {
        QWidget* w = m_widget;
        switch (m_kind) {
        case ComponentKind::Label:
            // It may have been given a picture since this view was built.
            if (!showsPicture(static_cast<QLabel*>(w))) static_cast<QLabel*>(w)->setText(v);
            break;
        case ComponentKind::Edit:
            static_cast<QLineEdit*>(w)->setText(v);
            break;
        case ComponentKind::Button:
        case ComponentKind::RadioButton:
        case ComponentKind::CheckBox:
            static_cast<QAbstractButton*>(w)->setText(v);
            break;
        case ComponentKind::GroupBox:
        case ComponentKind::RadioGroup:
            static_cast<QGroupBox*>(w)->setTitle(v);
            break;
        case ComponentKind::TabSheet:
            if (QTabWidget* t = tabWidgetOf(w)) t->setTabText(t->indexOf(w), v);
            break;
        case ComponentKind::CoolButton:
        case ComponentKind::Value:
        case ComponentKind::Other:
            break;
        }
    }

    QString hint() const {
        if (m_kind == ComponentKind::TabSheet)
            if (QTabWidget* t = tabWidgetOf(m_widget)) return t->tabToolTip(t->indexOf(m_widget));
        return m_widget->toolTip();
    }

    void setHint(const QString& v) {
        if (m_kind == ComponentKind::TabSheet) {
            if (QTabWidget* t = tabWidgetOf(m_widget)) t->setTabToolTip(t->indexOf(m_widget), v);
            return;
        }
        m_widget->setToolTip(v);
    }

    QPointer<QWidget> m_widget;
    ComponentKind m_kind;
};

class ActionItem : public LanguageMenuItem {
public:
    explicit ActionItem(QAction* action) : m_action(action) {
        if (QMenu* sub = QMenu::menuInAction(action))
            for (QAction* a : sub->actions()) m_children.push_back(std::make_unique<ActionItem>(a));
    }

    std::string name() const override {
        if (!m_action) return {};
        QString n = m_action->objectName();
        // A submenu's own name stands for its item when the item has none.
        if (n.isEmpty())
            if (QMenu* sub = QMenu::menuInAction(m_action)) n = sub->objectName();
        return n.startsWith(QLatin1String("qt_")) ? std::string() : toLanguageText(n);
    }
    std::string caption() const override {
        return m_action ? toLanguageText(m_action->text()) : std::string();
    }
    void setCaption(const std::string& value) override {
        if (m_action) m_action->setText(fromLanguageText(value));
    }
    int childCount() const override { return int(m_children.size()); }
    LanguageMenuItem& child(int i) override { return *m_children[size_t(i)]; }

private:
    QPointer<QAction> m_action;
    std::vector<std::unique_ptr<ActionItem>> m_children;
};

// A menu bar or a pop-up menu: its top-level items.
class WidgetMenu : public LanguageMenu {
public:
    explicit WidgetMenu(QWidget* menu) : m_name(toLanguageText(menu->objectName())) {
        for (QAction* a : menu->actions()) m_items.push_back(std::make_unique<ActionItem>(a));
    }
    std::string name() const override { return m_name; }
    int itemCount() const override { return int(m_items.size()); }
    LanguageMenuItem& item(int i) override { return *m_items[size_t(i)]; }

private:
    std::string m_name;
    std::vector<std::unique_ptr<ActionItem>> m_items;
};

// A menu that is no other menu's submenu and sits in no menu bar.
bool isPopupMenu(const QMenu* menu) {
    for (QObject* o : menu->menuAction()->associatedObjects())
        if (qobject_cast<QMenu*>(o) || qobject_cast<QMenuBar*>(o)) return false;
    return true;
}

class WidgetWindow : public LanguageWindow {
public:
    explicit WidgetWindow(QWidget* window) : m_window(window) { collect(window); }

    std::string name() const override {
        return m_window ? toLanguageText(m_window->objectName()) : std::string();
    }
    // A window that adds to its title (the main window's progress) has its
    // caption apart.
    std::string caption() const override {
        if (!m_window) return {};
        return toLanguageText(hasCaption() ? m_window->property("caption").toString()
                                           : m_window->windowTitle());
    }
    void setCaption(const std::string& value) override {
        if (!m_window) return;
        if (hasCaption())
            m_window->setProperty("caption", fromLanguageText(value));
        else
            m_window->setWindowTitle(fromLanguageText(value));
    }
    int componentCount() const override { return int(m_components.size()); }
    LanguageComponent& component(int i) override { return *m_components[size_t(i)]; }
    int menuCount() const override { return int(m_menus.size()); }
    LanguageMenu& menu(int i) override { return *m_menus[size_t(i)]; }

private:
    void collect(QWidget* parent) {
        for (QObject* o : parent->children()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (!w) continue;
            if (auto* m = qobject_cast<QMenu*>(w)) {
                if (isAddressable(m) && isPopupMenu(m))
                    m_menus.push_back(std::make_unique<WidgetMenu>(m));
                continue;
            }
            if (auto* bar = qobject_cast<QMenuBar*>(w)) {
                if (isAddressable(bar)) m_menus.push_back(std::make_unique<WidgetMenu>(bar));
                continue;
            }
            // Dialogs parented to this window are windows of their own.
            if (w->isWindow()) continue;
            if (isAddressable(w))
                m_components.push_back(std::make_unique<WidgetComponent>(w, languageKindOf(w)));
            // The inner parts of these are Qt's, never ours.
            if (qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QComboBox*>(w)) continue;
            collect(w);
        }
    }

    bool hasCaption() const { return m_window->metaObject()->indexOfProperty("caption") >= 0; }

    QPointer<QWidget> m_window;
    std::vector<std::unique_ptr<LanguageComponent>> m_components;
    std::vector<std::unique_ptr<LanguageMenu>> m_menus;
};

} // namespace

void showsValue(std::initializer_list<QWidget*> widgets) {
    for (QWidget* w : widgets) w->setProperty(kShowsValue, true);
}

ComponentKind languageKindOf(const QWidget* w) {
    if (!w) return ComponentKind::Other;
    if (w->property(kShowsValue).toBool()) return ComponentKind::Value;
    if (tabWidgetOf(w)) return ComponentKind::TabSheet;
    // A label showing a picture is a picture, whose text a language must not
    // replace (setting one would wipe the picture).
    if (isExactly<QLabel>(w))
        return showsPicture(static_cast<const QLabel*>(w)) ? ComponentKind::Other
                                                           : ComponentKind::Label;
    if (isExactly<QLineEdit>(w)) return ComponentKind::Edit;
    if (isExactly<QPushButton>(w)) return ComponentKind::Button;
    if (isExactly<QRadioButton>(w)) return ComponentKind::RadioButton;
    if (isExactly<QCheckBox>(w)) return ComponentKind::CheckBox;
    if (isExactly<QGroupBox>(w)) return ComponentKind::GroupBox;
    if (isExactly<QToolButton>(w)) return ComponentKind::CoolButton;
    if (isExactly<RadioGroup>(w)) return ComponentKind::RadioGroup;
    return ComponentKind::Other;
}

std::string toLanguageText(const QString& text) {
    QString t = text;
    t.replace(kPauseGlyph, QChar(kPauseChar));
    return toCp1252(t);
}

QString fromLanguageText(const std::string& text) {
    QString t = fromCp1252(text);
    t.replace(QChar(kPauseChar), kPauseGlyph);
    return t;
}

QtLanguageTarget::QtLanguageTarget(const std::vector<QWidget*>& windows) {
    for (QWidget* w : windows)
        if (w) m_windows.push_back(std::make_unique<WidgetWindow>(w));
}

QtLanguageTarget::~QtLanguageTarget() = default;

int QtLanguageTarget::windowCount() const {
    return int(m_windows.size());
}
LanguageWindow& QtLanguageTarget::window(int i) {
    return *m_windows[size_t(i)];
}

} // namespace mirtal
