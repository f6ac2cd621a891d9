// What a user meets in every window at its default size, in English and in
// French: no text cut off, no two controls on one Alt key.
#include "AppTestSupport.h"

using namespace mirtal;
using namespace mirtal::test;

namespace {

std::string describe(const QWidget* w, const QString& text) {
    return w->window()->objectName().toStdString() + "." + w->objectName().toStdString() + " \"" +
           text.toStdString() + "\"";
}

// Why the text of `w` does not fit into it, or nothing.
std::string clipping(QWidget* w) {
    // Nothing may hang out of the window either: a layout squeezed below its
    // minimum pushes controls past the edge. (What scrolls may.)
    bool scrolls = false;
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        scrolls = scrolls || qobject_cast<QAbstractScrollArea*>(p);
    if (!scrolls &&
        !w->window()->rect().contains(QRect(w->mapTo(w->window(), QPoint()), w->size())))
        return describe(w, {}) + " outside the window";
    QSize need;
    QString text;
    if (auto* l = qobject_cast<QLabel*>(w); l && l->pixmap().isNull() && !l->text().isEmpty()) {
        text = l->text();
        need = l->wordWrap() ? QSize(0, l->heightForWidth(w->width())) : l->sizeHint();
    } else if (auto* b = qobject_cast<QPushButton*>(w)) {
        // The style's least width of a push button is not needed by its text.
        text = QString(b->text()).remove(QRegularExpression("&(?!&)"));
        if (text.isEmpty()) return {};
        need = QSize(b->fontMetrics().horizontalAdvance(text) +
                         b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b) +
                         (b->icon().isNull() ? 0 : b->iconSize().width()),
                     b->fontMetrics().height());
    } else if (auto* a = qobject_cast<QAbstractButton*>(w); a && !a->text().isEmpty()) {
        text = a->text(), need = a->sizeHint();
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        text = g->title(), need = g->minimumSizeHint();
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        text = c->currentText(), need = c->minimumSizeHint();
    } else if (auto* t = qobject_cast<QTabBar*>(w)) {
        text = t->tabText(0), need = t->sizeHint();
    }
    if (need.width() <= w->width() && need.height() <= w->height()) return {};
    return describe(w, text) + " needs " + std::to_string(need.width()) + "x" +
           std::to_string(need.height());
}

QChar mnemonic(const QString& text) {
    for (int i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '&' && text[++i] != '&') return text[i].toLower(); // "&&" is an ampersand
    return {};
}

// The texts that share an Alt key among those active at once.
void addClashes(const std::vector<std::pair<QChar, std::string>>& keys,
                std::set<std::string>& out) {
    std::map<QChar, std::string> seen;
    for (const auto& [key, what] : keys)
        if (auto [at, fresh] = seen.emplace(key, what); !key.isNull() && !fresh)
            out.insert(at->second + " and " + what);
}
std::vector<std::pair<QChar, std::string>> menuKeys(const QWidget* menu) {
    std::vector<std::pair<QChar, std::string>> keys;
    for (QAction* a : menu->actions())
        if (a->isVisible()) keys.emplace_back(mnemonic(a->text()), a->text().toStdString());
    return keys;
}

// What is clipped or shares an Alt key in `window` (not the dialogs hanging
// from it), in every configuration of its tabs, one tab widget at a time.
std::set<std::string> faultsIn(QWidget* window) {
    QApplication::sendPostedEvents();
    std::set<std::string> out;
    auto check = [&] {
        std::vector<std::pair<QChar, std::string>> keys;
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (w->window() != window || !w->isVisible()) continue;
            if (std::string why = clipping(w); !why.empty()) out.insert(why);
            QString text;
            if (auto* b = qobject_cast<QAbstractButton*>(w)) text = b->text();
            if (auto* g = qobject_cast<QGroupBox*>(w)) text = g->title();
            if (auto* l = qobject_cast<QLabel*>(w); l && l->buddy()) text = l->text();
            if (auto* t = qobject_cast<QTabBar*>(w))
                for (int i = 0; i < t->count(); ++i)
                    keys.emplace_back(mnemonic(t->tabText(i)), describe(w, t->tabText(i)));
            keys.emplace_back(mnemonic(text), describe(w, text));
        }
        if (auto* bar = window->findChild<QMenuBar*>()) {
            auto bars = menuKeys(bar);
            keys.insert(keys.end(), bars.begin(), bars.end());
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

TEST_P(Windows, NothingIsClippedAndNoTwoControlsShareAnAltKey) {
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
    // Paused in the middle of a job, with the captions of that state, then
    // with the display options.
    MainWindow& main = *app->mainWindow();
    main.show();
    if (!app->session().job().Paused) app->session().engine().togglePause();
    ASSERT_TRUE(app->session().job().Paused);
    RipDisplay d = app->session().display();
    d.pauseEnabled = true;
    app->host().displayChanged(d);
    EXPECT_EQ(faultsIn(&main), std::set<std::string>{});
    control<QPushButton>(&main, "ButtonPreviewOption")->click();
    EXPECT_EQ(faultsIn(&main), std::set<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Languages, Windows, ::testing::Values("English", "Francais"));
