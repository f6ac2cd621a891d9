// Language files applied to windows built from the file's own keys, then
// the texts written back.
#include "FuzzInput.h"
#include "base/MessageCatalogue.h"
#include "settings/IniFile.h"
#include "settings/LanguageFile.h"

#include <map>
#include <memory>
#include <vector>

using namespace mirtal;

namespace {

// The kind a component's name suggests, as the program names its controls.
ComponentKind kindOfName(std::string_view name) {
    static constexpr std::pair<std::string_view, ComponentKind> kPrefixes[] = {
        {"Label", ComponentKind::Label},
        {"Edit", ComponentKind::Edit},
        {"Button", ComponentKind::Button},
        {"BitBtn", ComponentKind::Button},
        {"RadioButton", ComponentKind::RadioButton},
        {"CheckBox", ComponentKind::CheckBox},
        {"GroupBox", ComponentKind::GroupBox},
        {"TabSheet", ComponentKind::TabSheet},
        {"CoolButton", ComponentKind::CoolButton},
        {"RadioGroup", ComponentKind::RadioGroup},
    };
    ComponentKind kind = ComponentKind::Other;
    size_t best = 0;
    for (auto [prefix, k] : kPrefixes)
        if (name.starts_with(prefix) && prefix.size() > best) {
            best = prefix.size();
            kind = k;
        }
    return kind;
}

struct Component : LanguageComponent {
    std::string n;
    ComponentKind k;
    std::map<TextProperty, std::string> texts;
    std::vector<std::string> items{"a", "b", "c"};
    std::string name() const override { return n; }
    ComponentKind kind() const override { return k; }
    std::string get(TextProperty p) const override {
        auto it = texts.find(p);
        return it == texts.end() ? std::string() : it->second;
    }
    void set(TextProperty p, const std::string& v) override { texts[p] = v; }
    void showHint() override {}
    int itemCount() const override { return int(items.size()); }
    std::string item(int i) const override { return items.at(size_t(i)); }
    void setItem(int i, const std::string& v) override { items.at(size_t(i)) = v; }
};

struct MenuItem : LanguageMenuItem {
    std::string n, c;
    std::vector<std::unique_ptr<MenuItem>> children;
    std::string name() const override { return n; }
    std::string caption() const override { return c; }
    void setCaption(const std::string& v) override { c = v; }
    int childCount() const override { return int(children.size()); }
    LanguageMenuItem& child(int i) override { return *children.at(size_t(i)); }
    MenuItem& childNamed(std::string_view name) {
        for (auto& ch : children)
            if (ch->n == name) return *ch;
        children.push_back(std::make_unique<MenuItem>());
        children.back()->n = std::string(name);
        return *children.back();
    }
};

struct Menu : LanguageMenu {
    MenuItem top;
    std::string name() const override { return top.n; }
    int itemCount() const override { return top.childCount(); }
    LanguageMenuItem& item(int i) override { return top.child(i); }
};

struct Window : LanguageWindow {
    std::string n, c;
    std::vector<std::unique_ptr<Component>> components;
    std::vector<std::unique_ptr<Menu>> menus;
    std::string name() const override { return n; }
    std::string caption() const override { return c; }
    void setCaption(const std::string& v) override { c = v; }
    int componentCount() const override { return int(components.size()); }
    LanguageComponent& component(int i) override { return *components.at(size_t(i)); }
    int menuCount() const override { return int(menus.size()); }
    LanguageMenu& menu(int i) override { return *menus.at(size_t(i)); }
};

struct Target : LanguageTarget {
    std::vector<std::unique_ptr<Window>> windows;
    int windowCount() const override { return int(windows.size()); }
    LanguageWindow& window(int i) override { return *windows.at(size_t(i)); }
};

std::vector<std::string_view> splitDots(std::string_view key) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t dot; (dot = key.find('.', start)) != std::string_view::npos; start = dot + 1)
        parts.push_back(key.substr(start, dot - start));
    parts.push_back(key.substr(start));
    return parts;
}

// The windows of kLanguageWindowOrder, each with the components and menu
// items that the file's keys name, so that the file's texts find a home.
void buildTarget(const IniFile& ini, Target& target) {
    constexpr size_t kMaxParts = 64;
    for (const char* wn : kLanguageWindowOrder) {
        auto w = std::make_unique<Window>();
        w->n = wn;
        w->c = wn;
        std::map<std::string, Menu*> menus;
        for (const std::string& section : ini.sectionNames()) {
            if (section == wn) {
                for (const std::string& key : ini.keyNames(section)) {
                    auto parts = splitDots(key);
                    if (parts.size() != 3 || parts[0] != wn || parts[1] == wn) continue;
                    bool known = false;
                    for (auto& c : w->components) known = known || c->n == parts[1];
                    if (known || w->components.size() >= kMaxParts) continue;
                    auto c = std::make_unique<Component>();
                    c->n = std::string(parts[1]);
                    c->k = kindOfName(parts[1]);
                    w->components.push_back(std::move(c));
                }
            } else if (section.size() > w->n.size() + 1 && section.starts_with(w->n + ".")) {
                const std::string menuName = section.substr(w->n.size() + 1);
                if (menuName.find('.') != std::string::npos || w->menus.size() >= 4) continue;
                Menu*& menu = menus[menuName];
                if (!menu) {
                    w->menus.push_back(std::make_unique<Menu>());
                    menu = w->menus.back().get();
                    menu->top.n = menuName;
                }
                size_t items = 0;
                for (const std::string& key : ini.keyNames(section)) {
                    auto parts = splitDots(key);
                    if (parts.size() < 3 || parts.size() > 6 || parts[0] != wn ||
                        parts[1] != menuName || ++items > kMaxParts)
                        continue;
                    MenuItem* item = &menu->top;
                    for (size_t i = 2; i < parts.size(); ++i) item = &item->childNamed(parts[i]);
                }
            }
        }
        target.windows.push_back(std::move(w));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    IniFile ini = IniFile::parse(input);
    Target target;
    buildTarget(ini, target);
    MessageCatalogue catalogue;
    applyLanguage(ini, target, catalogue);
    if (catalogue.count() < MessageCatalogue::kDefaultCount) fuzz::broken("catalogue shrank");

    // Writing the texts back and applying the result again changes nothing.
    IniFile out = IniFile::parse(input);
    writeLanguageTexts(out, target, catalogue);
    const std::string written = out.text();
    MessageCatalogue again;
    applyLanguage(IniFile::parse(written), target, again);
    for (int i = 0; i < catalogue.count(); ++i)
        if (catalogue.entry(i) != again.entry(i)) fuzz::broken("catalogue round trip");
    return 0;
}
