#pragma once

// The menu bar's commands found by their titles as the user reads them.

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>

#include <algorithm>

namespace halcyra::test {

// A menu entry's title as shown, without the marks of its Alt letter ("Save &As..." reads
// "Save As...", "R&&D" reads "R&D").
inline QString shownMenuTitle(const QAction *action)
{
    QString shown;
    const QString text = action->text();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        shown.append(text.at(i));
    }
    return shown;
}

// The menu bar's command at the end of the titles' path ({"File", "Export", "CSV..."}).
inline QAction *menuAction(QMainWindow *window, const QStringList &titles)
{
    QList<QAction *> actions = window->menuBar()->actions();
    QAction *found = nullptr;
    for (const QString &title : titles) {
        const auto it = std::find_if(actions.begin(), actions.end(), [&](QAction *a) { return shownMenuTitle(a) == title; });
        if (it == actions.end())
            return nullptr;
        found = *it;
        if (found->menu())
            actions = found->menu()->actions();
    }
    return found;
}

} // namespace halcyra::test
