#include "../support/TempFolder.h"
#include "settings/LanguageFile.h"
#include "settings/LanguageTarget.h"

#include <functional>
#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;
using P = TextProperty;
using K = ComponentKind;
using Names = std::vector<std::string>;

namespace {

template <class T, class... Args> T& append(std::vector<std::unique_ptr<T>>& list, Args... args) {
    return *list.emplace_back(std::make_unique<T>(std::move(args)...));
}

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

// A menu is its top item.
struct FakeMenuItem : LanguageMenuItem, LanguageMenu {
    FakeMenuItem(std::string n, std::string c) : m_name(std::move(n)), m_caption(std::move(c)) {}
    std::string name() const override { return m_name; }
    int itemCount() const override { return childCount(); }
    LanguageMenuItem& item(int i) override { return child(i); }
    std::string caption() const override { return m_caption; }
    void setCaption(const std::string& v) override { m_caption = v; }
    int childCount() const override { return int(children.size()); }
    LanguageMenuItem& child(int i) override { return *children.at(size_t(i)); }
    FakeMenuItem& add(std::string n, std::string c) { return append(children, n, c); }

    std::string m_name, m_caption;
    std::vector<std::unique_ptr<FakeMenuItem>> children;
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
    FakeMenuItem& addMenu(std::string n) { return append(menus, n, std::string()); }

    std::string m_name, m_caption;
    std::vector<std::unique_ptr<FakeComponent>> components;
    std::vector<std::unique_ptr<FakeMenuItem>> menus;
};

struct FakeTarget : LanguageTarget {
    int windowCount() const override { return int(windows.size()); }
    LanguageWindow& window(int i) override { return *windows.at(size_t(i)); }
    FakeWindow& add(std::string n, std::string c) { return append(windows, n, c); }
    FakeWindow& operator[](size_t i) { return *windows.at(i); }
    std::vector<std::unique_ptr<FakeWindow>> windows;
};

// A small copy of the real layout: every kind of component, a menu two
// levels deep and a second window.
FakeTarget makeWindows(const std::string& tag = "") {
    FakeTarget t;
    FakeWindow& f1 = t.add("Form1", "Mirtal 0.94b" + tag);
    f1.add("LabelPos", K::Label).texts = {{P::Caption, "Pos/Size Percent" + tag}};
    f1.add("LabelNbSup", K::Label).texts = {{P::Caption, "0"}, {P::Hint, "Number" + tag}};
    f1.add("EditName", K::Edit).texts = {{P::Text, "name" + tag}, {P::Hint, ""}};
    f1.add("ButtonPause", K::Button).texts = {{P::Caption, "&Pause" + tag},
                                              {P::Hint, "Pause" + tag}};
    f1.add("CoolButtonOpenVob", K::CoolButton).texts = {{P::Hint, "Open Decrypted Vob(s)" + tag}};
    FakeComponent& rg = f1.add("RadioGroupPreviewBack", K::RadioGroup);
    rg.texts = {{P::Caption, "Background : " + tag}};
    rg.items = {"None" + tag, "Preset :" + tag, "Free :" + tag};
    f1.add("SpinEditZoom", K::Other).texts = {{P::Text, "100"}, {P::Caption, "zoom"}};
    f1.add("", K::Label).texts = {{P::Caption, "unnamed"}};
    FakeMenuItem& menu = f1.addMenu("MainMenu1");
    FakeMenuItem& file = menu.add("File1", "&File" + tag);
    file.add("OpenVobs1", "&Open Vob(s)" + tag);
    FakeMenuItem& options = menu.add("Options2", "&Options" + tag);
    options.add("GUILanguage1", "GUI &Language" + tag);

    FakeWindow& f18 = t.add("Form18", "Bitmap adjustment" + tag);
    f18.add("ButtonSkipPict", K::Button).texts = {{P::Caption, "&Skip this Picture" + tag},
                                                  {P::Hint, "Don't save this Picture" + tag}};
    f18.add("TabSheet1", K::TabSheet).texts = {{P::Caption, "Profiles" + tag}};
    f18.add("CheckBoxAllowBmpCropping", K::CheckBox).texts = {{P::Caption, "Allow" + tag}};
    return t;
}

std::vector<std::string> allTexts(FakeTarget& t) {
    std::vector<std::string> out;
    std::function<void(FakeMenuItem&)> menuTexts = [&](FakeMenuItem& m) {
        out.push_back(m.m_caption);
        for (auto& c : m.children) menuTexts(*c);
    };
    for (auto& w : t.windows) {
        out.push_back(w->m_caption);
        for (auto& c : w->components) {
            for (auto& [p, v] : c->texts) out.push_back(v);
            for (auto& i : c->items) out.push_back(i);
        }
        for (auto& m : w->menus) menuTexts(*m);
    }
    return out;
}

// The texts of `after` that differ from `before`, or the sizes where they differ.
std::vector<std::string> changed(const std::vector<std::string>& before,
                                 const std::vector<std::string>& after) {
    if (before.size() != after.size())
        return {std::to_string(before.size()), std::to_string(after.size())};
    std::vector<std::string> out;
    for (size_t i = 0; i < after.size(); ++i)
        if (after[i] != before[i]) out.push_back(after[i]);
    return out;
}

class LanguageFile : public ::testing::Test {
protected:
    fs::path lang() const { return languageFolderIn(dir.path()); }
    void writeLanguage(const std::string& name, const std::string& text) {
        fs::create_directories(lang());
        writeText(lang() / (name + ".lng"), text);
    }

    TempFolder dir;
    FakeTarget windows = makeWindows();
    MessageCatalogue catalogue;
};

} // namespace

// Merged into an existing template: its keys stay in place, with today's texts.
TEST_F(LanguageFile, TemplateHoldsEveryTextUnderItsKey) {
    fs::create_directories(lang());
    writeText(lang() / kLanguageTemplateName,
              "[Form1]\r\nForm1.Old.Caption=kept\r\nForm1.LabelPos.Caption=stale\r\n");
    ASSERT_TRUE(writeLanguageTemplate(lang(), windows, catalogue).ok);
    IniFile ini = IniFile::parse(readText(lang() / kLanguageTemplateName));
    EXPECT_EQ(ini.sectionNames(), (Names{"Form1", "Form1.MainMenu1", "Form18", "Messages"}));
    EXPECT_EQ(ini.keyNames("Form1"),
              (Names{"Form1.Old.Caption", "Form1.LabelPos.Caption", "Form1.Form1.Caption",
                     "Form1.LabelNbSup.Caption", "Form1.LabelNbSup.Hint", "Form1.EditName.Text",
                     "Form1.ButtonPause.Caption", "Form1.ButtonPause.Hint",
                     "Form1.CoolButtonOpenVob.Hint", "Form1.RadioGroupPreviewBack.Caption",
                     "Form1.RadioGroupPreviewBack.Items0", "Form1.RadioGroupPreviewBack.Items1",
                     "Form1.RadioGroupPreviewBack.Items2"}));
    EXPECT_EQ((Names{ini.value("Form1", "Form1.Old.Caption").value_or("?"),
                     ini.value("Form1", "Form1.LabelPos.Caption").value_or("?"),
                     ini.value("Messages", "MsgStr_4").value_or("?")}),
              (Names{"kept", "Pos/Size Percent", catalogue.entry(4)}));
    const int n = MessageCatalogue::kDefaultCount;
    ASSERT_EQ(ini.keyNames("Messages").size(), size_t(n));
    EXPECT_EQ(ini.keyNames("Messages").back(), "MsgStr_" + std::to_string(n - 1));
}

TEST_F(LanguageFile, ExportThenLoadRestoresEveryText) {
    FakeTarget original = makeWindows(" (de)");
    MessageCatalogue translated;
    for (int i = 0; i < translated.count(); ++i)
        translated.set(i, " Nachricht " + std::to_string(i) + " ");
    ASSERT_TRUE(writeLanguageTemplate(lang(), original, translated).ok);

    ASSERT_TRUE(loadLanguageByName(lang(), "New_LangFile", windows, catalogue).ok);
    // The empty hint was not exported, so it stays as it was: empty too.
    EXPECT_EQ(allTexts(windows), allTexts(original));
    for (int i = 0; i < MessageCatalogue::kDefaultCount; ++i)
        EXPECT_EQ(catalogue.entry(i), translated.entry(i));
}

// Only existing radio items change; a loaded hint is shown, even empty; other
// classes keep their texts; a menu item is found only under its own parents
// in its menu's section; a language file missing or outside changes nothing.
TEST_F(LanguageFile, KeysChangeOnlyTheTextsTheyName) {
    const struct {
        std::string text;
        Names changes;
        std::string previous = "";
    } cases[] = {
        {"[Form1]\nForm1.RadioGroupPreviewBack.Items0=Aucun\n"
         "Form1.RadioGroupPreviewBack.Items2=Libre\nForm1.RadioGroupPreviewBack.Items3=x\nForm1."
         "RadioGroupPreviewBack.Items5=y\n"
         "Form1.CoolButtonOpenVob.Hint=Ouvrir\nForm1.CoolButtonOpenVob.Caption=never\n"
         "Form1.SpinEditZoom.Text=never\nForm1.EditName.Hint=\n",
         {"Ouvrir", "Aucun", "Libre"}},
        {"[Form1.MainMenu1]\nForm1.MainMenu1.Options2.GUILanguage1=Langue\n"
         "Form1.MainMenu1.Options1.GUILanguage1=old layout\nForm1.MainMenu1.OpenVobs1=not at top\n"
         "[Form1]\nForm1.MainMenu1.File1=wrong section\n",
         {"Langue"}},
        {"", {}},
        // Keys the second language lacks keep the first one's texts.
        {"[FORM1]\nform1.form1.caption=Deuxieme\n[messages]\nmsgstr_0=Zero\n",
         {"Deuxieme", "Lage"},
         "[Form1]\nForm1.Form1.Caption=Erste\nForm1.LabelPos.Caption=Lage\n"
         "[Messages]\nMsgStr_0=Null\nMsgStr_1=Eins\n"},
    };
    for (const auto& c : cases) {
        FakeTarget fresh = makeWindows();
        const Names before = allTexts(fresh);
        writeLanguage("First", c.previous);
        ASSERT_TRUE(loadLanguageByName(lang(), "First", fresh, catalogue).ok);
        writeLanguage("Lang", c.text);
        ASSERT_TRUE(
            loadLanguageByName(lang(), c.text.empty() ? "Deleted" : "Lang", fresh, catalogue).ok);
        EXPECT_EQ(changed(before, allTexts(fresh)), c.changes) << c.text;
        FakeWindow& f1 = fresh[0];
        const bool hints = &c == cases; // only the first file names hints
        EXPECT_EQ((std::vector<bool>{f1.components[4]->hintShown, f1.components[2]->hintShown,
                                     f1.components[3]->hintShown}),
                  (std::vector<bool>{hints, hints, false}));
    }
    writeText(dir / "outside.lng", "[Form1]\nForm1.Form1.Caption=outside\n");
    const Names before = allTexts(windows);
    EXPECT_TRUE(loadLanguageByName(lang(), "../outside", windows, catalogue).ok);
    EXPECT_TRUE(loadLanguageByName(lang(), "", windows, catalogue).ok);
    EXPECT_EQ(allTexts(windows), before);
    EXPECT_EQ((Names{catalogue.text(Message::MatrixFull), catalogue.text(Message::OneMatrixPerDvd),
                     catalogue.text(Message::MatrixEmpty)}),
              (Names{"Zero", "Eins", "The Character Matrix is Empty !"}));
}

// Messages are read in order up to a gap or an empty text; one past the
// built-in ones is appended.
TEST_F(LanguageFile, CatalogueStopsAtGapOrEmptyTextAndAppendsPastTheEnd) {
    const int n = MessageCatalogue::kDefaultCount;
    const MessageCatalogue english;
    // {the message left out, the message left empty, how many are read}
    const std::tuple<int, int, int> cases[] = {{5, -1, 5}, {-1, 3, 3}, {-1, -1, n + 1}};
    for (const auto& [gap, empty, loaded] : cases) {
        std::string text = "[Messages]\n";
        for (int i = 0; i <= n; ++i)
            if (i != gap)
                text += "MsgStr_" + std::to_string(i) + "=" +
                        (i == empty ? "" : "T" + std::to_string(i)) + "\n";
        catalogue.fillMessageCatalogue();
        writeLanguage("Messages", text);
        ASSERT_TRUE(loadLanguageByName(lang(), "Messages", windows, catalogue).ok);
        ASSERT_EQ(catalogue.count(), std::max(loaded, n));
        for (int i = 0; i < catalogue.count(); ++i)
            EXPECT_EQ(catalogue.entry(i), i < loaded ? "T" + std::to_string(i) : english.entry(i))
                << i;
    }
}

TEST_F(LanguageFile, ListingTakesLngFilesWithoutCaseAndFindsThemBack) {
    writeLanguage("Deutsch", "");
    writeText(lang() / "ESPANOL.LNG", "[Form1]\nForm1.Form1.Caption=Hola\n");
    writeText(lang() / "Fran\u00e7ais.lng", ""); // named in UTF-8, captioned in Windows-1252
    writeText(lang() / ".lng", "");
    writeText(lang() / "readme.txt", "");
    fs::create_directory(lang() / "folder.lng");
    Names got;
    for (auto& e : listLanguages(lang())) got.push_back(e.name + "=" + e.caption);
    EXPECT_EQ(got, (Names{"Deutsch=Deutsch", "ESPANOL=ESPANOL", "Fran\u00e7ais=Fran\347ais"}));
    EXPECT_EQ(languageFilePath(lang(), "ESPANOL"), lang() / "ESPANOL.LNG");
    ASSERT_TRUE(loadLanguageByName(lang(), "ESPANOL", windows, catalogue).ok);
    EXPECT_EQ(windows[0].m_caption, "Hola");
    EXPECT_TRUE(listLanguages(dir / "no-such-folder").empty());
}
