// What a user meets in every window at its default size, in English and in
// French: no text cut off, no two controls on one Alt key.
#include "AppTestSupport.h"

using namespace mirtal;
using namespace mirtal::test;

namespace {

struct Windows : ::testing::TestWithParam<const char*> {
    AppBench b; // as at start-up: the main window is up when its language is loaded
    Application* app = b.app.get();

    void SetUp() override {
        const std::string language = GetParam();
        if (language == "English") return;
        const std::string text = readText(shippedLanguageFolder() / (language + ".lng"));
        ASSERT_FALSE(text.empty()) << language;
        writeText(LanguageFolder(app->settingsFolder()) / (language + ".lng"), text);
        app->loadLanguage(language);
    }
    std::vector<QWidget*> windows() const {
        return {app->mainWindow(), app->newCharacter(), app->subtitlesWindow(),
                app->ocrSetup(),   app->matrixEditor(), app->jobSetup(),
                app->textColour(), app->postOcr(),      app->progression(),
                app->about(),      app->outputFormat(), app->timeCorrection(),
                app->split(),      app->bitmapAdjust()};
    }
    // Paused in the middle of a job: the captions of that state.
    void pause() {
        RipEngine& engine = app->session().engine();
        if (app->session().job().Paused) engine.togglePause();
        engine.togglePause();
        ASSERT_TRUE(app->session().job().Paused);
        RipDisplay d = app->session().display();
        d.pauseEnabled = true;
        app->host().displayChanged(d);
    }
};

// The widgets of `window` itself (not of the dialogs hanging from it) that
// are on screen.
std::vector<QWidget*> shownWidgets(QWidget* window) {
    std::vector<QWidget*> out;
    for (QWidget* w : window->findChildren<QWidget*>())
        if (w->window() == window && w->isVisible()) out.push_back(w);
    return out;
}

std::string describe(const QWidget* w, const QString& text) {
    return w->window()->objectName().toStdString() + "." + w->objectName().toStdString() + " \"" +
           text.toStdString() + "\"";
}

// Why the text of `w` does not fit into it, or nothing.
std::string clipping(QWidget* w) {
    const QSize size = w->size();
    auto tooSmall = [&](QSize need, const QString& text) {
        if (need.width() <= size.width() && need.height() <= size.height()) return std::string();
        return describe(w, text) + " needs " + std::to_string(need.width()) + "x" +
               std::to_string(need.height()) + ", has " + std::to_string(size.width()) + "x" +
               std::to_string(size.height());
    };
    // Nothing may hang out of the window either: a layout squeezed below its
    // minimum pushes controls past the edge. (What scrolls may.)
    const QRect inWindow(w->mapTo(w->window(), QPoint(0, 0)), size);
    bool scrolls = false;
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        scrolls = scrolls || qobject_cast<QAbstractScrollArea*>(p);
    if (!scrolls && !w->window()->rect().contains(inWindow))
        return describe(w, {}) + " outside the window";
    if (auto* l = qobject_cast<QLabel*>(w)) {
        if (l->text().isEmpty() || !l->pixmap().isNull()) return {};
        if (l->wordWrap()) return tooSmall(QSize(0, l->heightForWidth(size.width())), l->text());
        return tooSmall(l->sizeHint(), l->text());
    }
    if (auto* b = qobject_cast<QPushButton*>(w)) {
        // The style's least width of a push button is not needed by its text.
        const QString text = QString(b->text()).remove(QRegularExpression("&(?!&)"));
        if (text.isEmpty()) return {};
        const int margin = b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b);
        const QSize icon = b->icon().isNull() ? QSize() : b->iconSize();
        return tooSmall(QSize(b->fontMetrics().horizontalAdvance(text) + margin + icon.width(),
                              b->fontMetrics().height()),
                        b->text());
    }
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text().isEmpty() ? std::string() : tooSmall(b->sizeHint(), b->text());
    if (auto* g = qobject_cast<QGroupBox*>(w)) return tooSmall(g->minimumSizeHint(), g->title());
    if (auto* c = qobject_cast<QComboBox*>(w))
        return tooSmall(c->minimumSizeHint(), c->currentText());
    if (auto* t = qobject_cast<QTabBar*>(w)) return tooSmall(t->sizeHint(), t->tabText(0));
    return {};
}

// Every configuration of a window's tabs, one tab widget at a time.
template <typename Check> void forEachTab(QWidget* window, Check check) {
    check();
    for (QTabWidget* tabs : window->findChildren<QTabWidget*>()) {
        if (tabs->window() != window) continue;
        const int current = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i) {
            if (i == current) continue;
            tabs->setCurrentIndex(i);
            check();
        }
        tabs->setCurrentIndex(current);
    }
}

std::vector<std::string> clippedIn(QWidget* window) {
    std::vector<std::string> out;
    forEachTab(window, [&] {
        for (QWidget* w : shownWidgets(window))
            if (std::string why = clipping(w); !why.empty()) out.push_back(why);
    });
    return out;
}

QChar mnemonic(const QString& text) {
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] != '&') return text[i + 1].toLower();
        ++i; // "&&" is an ampersand
    }
    return {};
}

// Texts that share an Alt key among those active at once.
std::vector<std::string> mnemonicClashes(QWidget* window) {
    std::vector<std::string> out;
    auto clashes = [&](const std::vector<std::pair<QChar, std::string>>& keys) {
        std::map<QChar, std::string> seen;
        for (const auto& [key, what] : keys) {
            if (key.isNull()) continue;
            auto [at, fresh] = seen.emplace(key, what);
            const std::string clash = at->second + " and " + what;
            if (!fresh && std::find(out.begin(), out.end(), clash) == out.end())
                out.push_back(clash);
        }
    };
    forEachTab(window, [&] {
        std::vector<std::pair<QChar, std::string>> keys;
        for (QWidget* w : shownWidgets(window)) {
            if (auto* b = qobject_cast<QAbstractButton*>(w))
                keys.emplace_back(mnemonic(b->text()), describe(w, b->text()));
            else if (auto* g = qobject_cast<QGroupBox*>(w))
                keys.emplace_back(mnemonic(g->title()), describe(w, g->title()));
            else if (auto* l = qobject_cast<QLabel*>(w); l && l->buddy())
                keys.emplace_back(mnemonic(l->text()), describe(w, l->text()));
            else if (auto* t = qobject_cast<QTabBar*>(w))
                for (int i = 0; i < t->count(); ++i)
                    keys.emplace_back(mnemonic(t->tabText(i)), describe(w, t->tabText(i)));
        }
        if (auto* bar = window->findChild<QMenuBar*>())
            for (QAction* a : bar->actions())
                if (a->isVisible()) keys.emplace_back(mnemonic(a->text()), a->text().toStdString());
        clashes(keys);
    });
    // Inside each menu, the items of that menu.
    for (QMenu* menu : window->findChildren<QMenu*>()) {
        std::vector<std::pair<QChar, std::string>> keys;
        for (QAction* a : menu->actions())
            if (a->isVisible()) keys.emplace_back(mnemonic(a->text()), a->text().toStdString());
        clashes(keys);
    }
    return out;
}

} // namespace

TEST_P(Windows, NothingIsClippedAndNoTwoControlsShareAnAltKey) {
    auto check = [](QWidget* window) {
        QApplication::sendPostedEvents();
        EXPECT_EQ(clippedIn(window), std::vector<std::string>{})
            << window->objectName().toStdString();
        EXPECT_EQ(mnemonicClashes(window), std::vector<std::string>{})
            << window->objectName().toStdString();
    };
    for (QWidget* window : windows()) {
        window->show();
        check(window);
        window->hide();
    }
    // Paused, with the captions of that state, then with the display options.
    MainWindow& main = *app->mainWindow();
    main.show();
    pause();
    check(&main);
    control<QPushButton>(&main, "ButtonPreviewOption")->click();
    check(&main);
}

INSTANTIATE_TEST_SUITE_P(Languages, Windows, ::testing::Values("English", "Francais"));
