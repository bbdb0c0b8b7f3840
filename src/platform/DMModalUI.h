#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QDialog;
class QWidget;

// The one seam for alerts, sheets, open and save panels and simple prompts. The default
// implementation uses QMessageBox, DMFileDialog and QInputDialog (window-modal for sheets);
// tests install their own with setInstance() and answer without showing anything.
class DMModalUI
{
public:
    // Button codes of an alert: the first (default) button, the second (alternate) and the third.
    enum { DefaultReturn = 1, AlternateReturn = 0, OtherReturn = -1 };
    enum Style { Warning, Informational, Critical };

    struct Alert
    {
        QString messageText;
        QString informativeText;
        QStringList buttons; // first = default; empty means a single "OK"
        Style style = Warning;
        QString title; // the window's title: what the alert is about ("Save Changes")
    };

    struct FilePanel
    {
        QString title;
        QString directory;
        QString proposedName;          // save panels
        QStringList allowedExtensions; // without dots; empty = any
        QString typeDescription;       // the filter reads "<description> (*.<extension> ...)"
        QStringList packageExtensions; // folders with these extensions are one document each
        bool allowsMultipleSelection = false;
        bool canChooseDirectories = false; // open panels: folders are chosen as well as files
    };

    virtual ~DMModalUI() = default;

    static DMModalUI &instance();
    // Replaces the implementation (not owned); nullptr restores the default.
    static void setInstance(DMModalUI *ui);

    virtual int runAlert(const Alert &alert, QWidget *window = nullptr);
    // Shows the alert attached to the window and calls completion with the button code.
    virtual void beginSheet(const Alert &alert, QWidget *window, std::function<void(int)> completion);
    // runSheetModalForWindow: the sheet with a modal loop until it ends; returns the code.
    virtual int runSheetModalForWindow(const Alert &alert, QWidget *window);
    // Chosen paths; empty when cancelled.
    virtual QStringList runOpenPanel(const FilePanel &panel, QWidget *window = nullptr);
    virtual QString runSavePanel(const FilePanel &panel, QWidget *window = nullptr);
    // Runs a panel of our own as a sheet on the window (application-modal without one) and calls
    // completion with the code the panel finished with. Takes the panel: it is deleted after the
    // completion has run, so the completion may still read it.
    virtual void beginSheetWithPanel(QDialog *panel, QWidget *window, std::function<void(int)> completion);
    // A line of text (masked when secret); returns false when cancelled.
    virtual bool runTextPrompt(const QString &title, const QString &label, bool secret, QString *text,
                               QWidget *window = nullptr);

    // The one way an error reaches the user: the message, the reason (as the reader, writer or
    // program gave it) as informative text, on the document's window as a sheet, or
    // application-modal without one, titled with what failed ("Export"; "Error" when not given).
    // Returns once the user has read it.
    void presentError(const QString &message, const QString &reason, QWidget *window, const QString &title = QString());
};
