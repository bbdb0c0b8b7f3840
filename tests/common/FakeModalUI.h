#pragma once

#include "DMModalUI.h"

#include <QDialog>
#include <QList>
#include <QStringList>

#include <functional>

namespace halcyra::test {

// Answers every panel and alert without showing anything, and records what was asked.
class FakeModalUI : public DMModalUI
{
public:
    QList<Alert> alerts;
    int alertAnswer = DefaultReturn;
    QStringList promptLabels;
    QStringList promptAnswers; // consumed in order; none left means "cancel"
    QString savePanelPath;
    QStringList openPanelPaths;
    QList<FilePanel> openPanels;
    // Fills in a panel run as a sheet and finishes it; unset, the panel is cancelled (code 0).
    std::function<void(QDialog *)> answerPanel;
    int panelsShown = 0;

    int runAlert(const Alert &alert, QWidget * = nullptr) override
    {
        alerts.append(alert);
        return alertAnswer;
    }
    void beginSheet(const Alert &alert, QWidget *, std::function<void(int)> completion) override
    {
        alerts.append(alert);
        if (completion)
            completion(alertAnswer);
    }
    int runSheetModalForWindow(const Alert &alert, QWidget *) override
    {
        alerts.append(alert);
        return alertAnswer;
    }
    void beginSheetWithPanel(QDialog *panel, QWidget *, std::function<void(int)> completion) override
    {
        ++panelsShown;
        if (answerPanel)
            answerPanel(panel);
        else
            panel->done(0);
        if (completion)
            completion(panel->result());
        delete panel;
    }
    QStringList runOpenPanel(const FilePanel &panel, QWidget * = nullptr) override
    {
        openPanels.append(panel);
        return openPanelPaths;
    }
    QList<FilePanel> savePanels;
    QString runSavePanel(const FilePanel &panel, QWidget * = nullptr) override
    {
        savePanels.append(panel);
        return savePanelPath;
    }
    bool runTextPrompt(const QString &, const QString &label, bool, QString *text, QWidget * = nullptr) override
    {
        promptLabels.append(label);
        if (promptAnswers.isEmpty())
            return false;
        *text = promptAnswers.takeFirst();
        return true;
    }
};

} // namespace halcyra::test
