#include "ui/UiDialogs.h"

#include "base/TextCodec.h"
#include "settings/SettingsFile.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>

namespace mirtal {

QString fromCp1252(const std::string& text) {
    return QString::fromStdString(cp1252ToUtf8(text));
}
std::string toCp1252(const QString& text) {
    return utf8ToCp1252(text.toStdString());
}

void showSettingsWarnings(DialogHost& dialogs, const SettingsWarnings& warnings) {
    if (warnings.texts.empty()) return;
    std::string text = "These settings were out of range or not numbers:";
    for (const std::string& t : warnings.texts) text += "\r" + t;
    dialogs.ask(MessageKind::Warning, {Answer::Ok}, text);
}

namespace {

// "VOB (*.vob)|*.vob|All (*.*)|*.*" -> "VOB (*.vob);;All (*.*)"
QString qtFilter(const std::string& filter) {
    QStringList parts = fromCp1252(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        if (!name.contains('('))
            name += " (" + patterns + ")";
        else if (!name.contains(patterns))
            name = name.left(name.indexOf('(')) + "(" + patterns + ")";
        out << name;
    }
    return out.join(";;");
}

QMessageBox::StandardButton toQt(Answer a) {
    switch (a) {
    case Answer::Ok:
        return QMessageBox::Ok;
    case Answer::Cancel:
        return QMessageBox::Cancel;
    case Answer::Yes:
        return QMessageBox::Yes;
    case Answer::No:
        return QMessageBox::No;
    case Answer::Ignore:
        return QMessageBox::Ignore;
    case Answer::YesToAll:
        return QMessageBox::YesToAll;
    }
    return QMessageBox::Ok;
}

} // namespace

Answer UiDialogs::ask(MessageKind kind, Buttons buttons, const std::string& text) {
    asked.push_back({kind, text});
    if (m_scripted) {
        if (answers.empty()) {
            ++unexpected;
            return buttons.has(Answer::Cancel) ? Answer::Cancel
                   : buttons.has(Answer::No)   ? Answer::No
                                               : Answer::Ok;
        }
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    QMessageBox box(m_parent);
    box.setWindowTitle(QStringLiteral("Mirtal"));
    QString t = fromCp1252(text);
    t.replace('\r', '\n');
    box.setText(t);
    box.setIcon(kind == MessageKind::Warning        ? QMessageBox::Warning
                : kind == MessageKind::Confirmation ? QMessageBox::Question
                : kind == MessageKind::Information  ? QMessageBox::Information
                                                    : QMessageBox::NoIcon);
    const Answer order[] = {Answer::Yes,    Answer::YesToAll, Answer::Ok,
                            Answer::Ignore, Answer::No,       Answer::Cancel};
    QMessageBox::StandardButtons set;
    for (Answer a : order)
        if (buttons.has(a)) set |= toQt(a);
    box.setStandardButtons(set);
    int r = box.exec();
    for (Answer a : order)
        if (buttons.has(a) && r == toQt(a)) return a;
    return buttons.has(Answer::Cancel) ? Answer::Cancel
           : buttons.has(Answer::No)   ? Answer::No
                                       : Answer::Ok;
}

std::optional<std::filesystem::path> UiDialogs::chooseOpenFile(const FileDialogRequest& r) {
    fileRequests.push_back(r);
    if (m_scripted) {
        if (files.empty()) {
            ++unexpected;
            return std::nullopt;
        }
        auto f = files.front();
        files.pop_front();
        return f;
    }
    QString dir = QString::fromStdString(r.initialFolder.string());
    if (!r.initialName.empty()) dir += "/" + fromCp1252(r.initialName);
    QString f =
        QFileDialog::getOpenFileName(m_parent, fromCp1252(r.title), dir, qtFilter(r.filter));
    if (f.isEmpty()) return std::nullopt;
    return std::filesystem::path(f.toStdString());
}

std::optional<std::filesystem::path> UiDialogs::chooseSaveFile(const FileDialogRequest& r) {
    std::optional<std::filesystem::path> chosen = askSaveFile(r);
    if (!chosen || !m_filesInUse) return chosen;
    std::vector<FileInUse> inUse = m_filesInUse();
    std::erase_if(inUse, [&](const FileInUse& f) {
        return !r.rewrites.empty() && sameFile(f.path, r.rewrites);
    });
    const std::string clash = outputClash(*chosen, "The file", inUse);
    if (clash.empty()) return chosen;
    ask(MessageKind::Warning, {Answer::Ok}, utf8ToCp1252(clash));
    return std::nullopt;
}

std::optional<std::filesystem::path> UiDialogs::askSaveFile(const FileDialogRequest& r) {
    fileRequests.push_back(r);
    if (m_scripted) {
        if (files.empty()) {
            ++unexpected;
            return std::nullopt;
        }
        auto f = files.front();
        files.pop_front();
        return f;
    }
    QFileDialog dlg(m_parent, fromCp1252(r.title), QString::fromStdString(r.initialFolder.string()),
                    qtFilter(r.filter));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    // We ask about replacing files ourselves, with our own words.
    dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!r.defaultExtension.empty())
        dlg.setDefaultSuffix(QString::fromStdString(r.defaultExtension));
    if (!r.initialName.empty()) dlg.selectFile(fromCp1252(r.initialName));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
    return std::filesystem::path(dlg.selectedFiles().front().toStdString());
}

std::optional<QColor> UiDialogs::chooseColour(const QColor& initial) {
    if (m_scripted) {
        if (colours.empty()) {
            ++unexpected;
            return std::nullopt;
        }
        auto c = colours.front();
        colours.pop_front();
        return c;
    }
    QColor c = QColorDialog::getColor(initial, m_parent);
    if (!c.isValid()) return std::nullopt;
    return c;
}

std::optional<QFont> UiDialogs::chooseFont(const QFont& initial) {
    if (m_scripted) {
        if (fonts.empty()) {
            ++unexpected;
            return std::nullopt;
        }
        auto f = fonts.front();
        fonts.pop_front();
        return f;
    }
    bool ok = false;
    QFont f = QFontDialog::getFont(&ok, initial, m_parent);
    if (!ok) return std::nullopt;
    return f;
}

} // namespace mirtal
