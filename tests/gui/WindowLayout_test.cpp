// What a user meets in every window at its default size, in English and in
// French: no control pushed out of its window, no two controls on one Alt key.
#include "AppTestSupport.h"

using namespace mirtal;
using namespace mirtal::test;

namespace {

std::string describe(const QWidget* w, const QString& text) {
    return w->window()->objectName().toStdString() + "." + w->objectName().toStdString() + " \"" +
           text.toStdString() + "\"";
}

QChar mnemonic(const QString& text) {
    for (int i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '&' && text[++i] != '&') return text[i].toLower(); // "&&" is an ampersand
    return {};
}

using Keys = std::vector<std::pair<QChar, std::string>>;

// The texts that share an Alt key among those active at once.
void addClashes(const Keys& keys, std::set<std::string>& out) {
    std::map<QChar, std::string> seen;
    for (const auto& [key, what] : keys)
        if (auto [at, fresh] = seen.emplace(key, what); !key.isNull() && !fresh)
            out.insert(at->second + " and " + what);
}
Keys menuKeys(const QWidget* menu) {
    Keys keys;
    for (QAction* a : menu ? menu->actions() : QList<QAction*>())
        if (a->isVisible()) keys.emplace_back(mnemonic(a->text()), a->text().toStdString());
    return keys;
}

// What hangs out of `window` (what scrolls may) or shares an Alt key there,
// in every configuration of its tabs, one tab widget at a time.
std::set<std::string> faultsIn(QWidget* window) {
    QApplication::sendPostedEvents();
    std::set<std::string> out;
    auto check = [&] {
        Keys keys = menuKeys(window->findChild<QMenuBar*>());
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (w->window() != window || !w->isVisible()) continue;
            bool scrolls = false;
            for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
                scrolls = scrolls || qobject_cast<QAbstractScrollArea*>(p);
            if (!scrolls && !window->rect().contains(QRect(w->mapTo(window, QPoint()), w->size())))
                out.insert(describe(w, {}) + " outside the window");
            QString text;
            if (auto* b = qobject_cast<QAbstractButton*>(w)) text = b->text();
            if (auto* g = qobject_cast<QGroupBox*>(w)) text = g->title();
            if (auto* l = qobject_cast<QLabel*>(w); l && l->buddy()) text = l->text();
            if (auto* t = qobject_cast<QTabBar*>(w))
                for (int i = 0; i < t->count(); ++i)
                    keys.emplace_back(mnemonic(t->tabText(i)), describe(w, t->tabText(i)));
            keys.emplace_back(mnemonic(text), describe(w, text));
        }
        addClashes(keys, out);
    };
    check();
    for (QTabWidget* tabs : window->findChildren<QTabWidget*>()) {
        if (tabs->window() != window) continue;
        const int current = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            if (i != current) check();
        }
        tabs->setCurrentIndex(current);
    }
    for (QMenu* menu : window->findChildren<QMenu*>()) addClashes(menuKeys(menu), out);
    return out;
}

struct Windows : ::testing::TestWithParam<const char*> {};

} // namespace

TEST_P(Windows, NothingHangsOutAndNoTwoControlsShareAnAltKey) {
    AppBench b; // as at start-up: the main window is up when its language is loaded
    Application* app = b.app.get();
    if (const std::string language = GetParam(); language != "English") {
        const std::string text = readText(shippedLanguageFolder() / (language + ".lng"));
        ASSERT_FALSE(text.empty()) << language;
        writeText(languageFolderIn(app->settingsFolder()) / (language + ".lng"), text);
        app->loadLanguage(language);
    }
    for (QWidget* window : std::initializer_list<QWidget*>{
             app->mainWindow(), app->newCharacter(), app->subtitlesWindow(), app->ocrSetup(),
             app->matrixEditor(), app->jobSetup(), app->textColour(), app->postOcr(),
             app->progression(), app->about(), app->outputFormat(), app->timeCorrection(),
             app->split(), app->bitmapAdjust()}) {
        window->show();
        EXPECT_EQ(faultsIn(window), std::set<std::string>{}) << window->objectName().toStdString();
        window->hide();
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, Windows, ::testing::Values("English", "Francais"));
