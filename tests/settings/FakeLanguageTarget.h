#pragma once

#include "settings/LanguageTarget.h"

#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

namespace mirtal::test {

template <class T, class... Args> T& append(std::vector<std::unique_ptr<T>>& list, Args... args) {
    return *list.emplace_back(std::make_unique<T>(std::move(args)...));
}

// Plain records standing in for the windows.
struct FakeComponent : LanguageComponent {
    FakeComponent(std::string n, ComponentKind k) : m_name(std::move(n)), m_kind(k) {}
    std::string name() const override { return m_name; }
    ComponentKind kind() const override { return m_kind; }
    std::string get(TextProperty p) const override { return texts.count(p) ? texts.at(p) : ""; }
    void set(TextProperty p, const std::string& v) override { texts[p] = v; }
    void showHint() override { hintShown = true; }
    int itemCount() const override { return int(items.size()); }
    std::string item(int i) const override { return items.at(size_t(i)); }
    void setItem(int i, const std::string& v) override { items.at(size_t(i)) = v; }

    std::string m_name;
    ComponentKind m_kind;
    std::map<TextProperty, std::string> texts;
    std::vector<std::string> items;
    bool hintShown = false;
};

struct FakeMenuItem : LanguageMenuItem {
    FakeMenuItem(std::string n, std::string c) : m_name(std::move(n)), m_caption(std::move(c)) {}
    std::string name() const override { return m_name; }
    std::string caption() const override { return m_caption; }
    void setCaption(const std::string& v) override { m_caption = v; }
    int childCount() const override { return int(children.size()); }
    LanguageMenuItem& child(int i) override { return *children.at(size_t(i)); }
    FakeMenuItem& add(std::string n, std::string c) { return append(children, n, c); }

    std::string m_name, m_caption;
    std::vector<std::unique_ptr<FakeMenuItem>> children;
};

struct FakeMenu : LanguageMenu {
    explicit FakeMenu(std::string n) : top(std::move(n), "") {}
    std::string name() const override { return top.m_name; }
    int itemCount() const override { return top.childCount(); }
    LanguageMenuItem& item(int i) override { return top.child(i); }
    FakeMenuItem top;
};

struct FakeWindow : LanguageWindow {
    FakeWindow(std::string n, std::string c) : m_name(std::move(n)), m_caption(std::move(c)) {}
    std::string name() const override { return m_name; }
    std::string caption() const override { return m_caption; }
    void setCaption(const std::string& v) override { m_caption = v; }
    int componentCount() const override { return int(components.size()); }
    LanguageComponent& component(int i) override { return *components.at(size_t(i)); }
    int menuCount() const override { return int(menus.size()); }
    LanguageMenu& menu(int i) override { return *menus.at(size_t(i)); }

    FakeComponent& add(std::string n, ComponentKind k) { return append(components, n, k); }
    FakeMenu& addMenu(std::string n) { return append(menus, n); }

    std::string m_name, m_caption;
    std::vector<std::unique_ptr<FakeComponent>> components;
    std::vector<std::unique_ptr<FakeMenu>> menus;
};

struct FakeTarget : LanguageTarget {
    int windowCount() const override { return int(windows.size()); }
    LanguageWindow& window(int i) override { return *windows.at(size_t(i)); }
    FakeWindow& add(std::string n, std::string c) { return append(windows, n, c); }
    FakeWindow& operator[](size_t i) { return *windows.at(i); }
    std::vector<std::unique_ptr<FakeWindow>> windows;
};

} // namespace mirtal::test
