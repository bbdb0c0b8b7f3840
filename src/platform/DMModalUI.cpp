#include "DMModalUI.h"

#include "DMFileDialog.h"
#include "DMLocalizedString.h"

#include <QApplication>
#include <QDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWindow>

namespace {

DMModalUI *replacement = nullptr;

// The window and the windows it belongs to, nearest first (a dialog belongs to the window it was
// opened on, a tool window to the window it was made transient for).
QList<const QWindow *> windowAndOwners(const QWindow *window)
{
    QList<const QWindow *> chain;
    for (; window; window = window->parent() ? window->parent() : window->transientParent())
        chain.append(window);
    return chain;
}

// Whether the modal panel keeps the window from input: an application-modal panel every window
// but its own; a window-modal one the window it was opened on, the windows that one belongs to,
// and every window belonging to one of them (the inspector of a document window).
bool isKeptFromInputBy(const QWidget *panel, const QWindow *window)
{
    const QWindow *own = panel->windowHandle();
    const QList<const QWindow *> chain = windowAndOwners(window);
    if (!own || chain.isEmpty() || chain.contains(own))
        return false;
    if (panel->windowModality() == Qt::ApplicationModal)
        return true;
    const QList<const QWindow *> owners = windowAndOwners(own).mid(1);
    for (const QWindow *link : chain)
        if (owners.contains(link))
            return true;
    return false;
}

// Keeps the keyboard in a modal panel while it is up. The window manager may leave the keyboard
// with the window that opened the panel (a tool window such as the inspector) or give it to the
// window the panel was opened on; Qt hands it on to an application-modal panel only, so a
// window-modal one would wait while typing went nowhere. A window the panel does not block (the
// user switched to another document) keeps the keyboard.
class PanelKeyboardKeeper : public QObject
{
public:
    explicit PanelKeyboardKeeper(QWidget *panel) : QObject(panel), m_panel(panel)
    {
        panel->installEventFilter(this);
        connect(qApp, &QGuiApplication::focusWindowChanged, this, &PanelKeyboardKeeper::takeFrom);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The panel's window is shown after its show event: the keyboard is looked at then.
        if (watched == m_panel && event->type() == QEvent::Show)
            QMetaObject::invokeMethod(
                this, [this] { takeFrom(QGuiApplication::focusWindow()); }, Qt::QueuedConnection);
        return QObject::eventFilter(watched, event);
    }

private:
    void takeFrom(QWindow *focus)
    {
        // Only the topmost modal panel takes the keyboard: two panels on one window (a sheet,
        // then an error) would otherwise hand it back and forth without end.
        if (QGuiApplication::modalWindow() != m_panel->windowHandle())
            return;
        if (m_panel->isVisible() && focus && isKeptFromInputBy(m_panel, focus))
            m_panel->activateWindow();
    }

    QWidget *m_panel; // owns this
};

// Makes the panel modal for the window it was opened on, keeping the keyboard in it; without a
// window it stays application-modal, and Qt hands it the keyboard itself.
void makeSheet(QWidget *panel, QWidget *window)
{
    if (!window)
        return;
    panel->setWindowModality(Qt::WindowModal);
    new PanelKeyboardKeeper(panel);
}

// Buttons are added in order; the first is the default, the second answers Escape.
QMessageBox *makeAlert(const DMModalUI::Alert &alert, QWidget *window)
{
    auto *box = new QMessageBox(window);
    box->setWindowTitle(alert.title);
    box->setText(alert.messageText);
    box->setInformativeText(alert.informativeText);
    switch (alert.style) {
    case DMModalUI::Warning:
        box->setIcon(QMessageBox::Warning);
        break;
    case DMModalUI::Informational:
        box->setIcon(QMessageBox::Information);
        break;
    case DMModalUI::Critical:
        box->setIcon(QMessageBox::Critical);
        break;
    }
    const QStringList titles = alert.buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : alert.buttons;
    const QMessageBox::ButtonRole roles[] = {QMessageBox::AcceptRole, QMessageBox::RejectRole, QMessageBox::DestructiveRole};
    for (qsizetype i = 0; i < titles.size() && i < 3; ++i) {
        QPushButton *button = box->addButton(titles.at(i), roles[i]);
        if (i == 0)
            box->setDefaultButton(button);
        if (i == 1)
            box->setEscapeButton(button);
    }
    return box;
}

int returnCode(QMessageBox *box)
{
    switch (box->buttonRole(box->clickedButton())) {
    case QMessageBox::AcceptRole:
        return DMModalUI::DefaultReturn;
    case QMessageBox::DestructiveRole:
        return DMModalUI::OtherReturn;
    default: // the second button, Escape, or the box closed
        return DMModalUI::AlternateReturn;
    }
}

} // namespace

DMModalUI &DMModalUI::instance()
{
    static DMModalUI defaultUI;
    return replacement ? *replacement : defaultUI;
}

void DMModalUI::setInstance(DMModalUI *ui)
{
    replacement = ui;
}

int DMModalUI::runAlert(const Alert &alert, QWidget *window)
{
    std::unique_ptr<QMessageBox> box(makeAlert(alert, window));
    box->exec();
    return returnCode(box.get());
}

void DMModalUI::beginSheet(const Alert &alert, QWidget *window, std::function<void(int)> completion)
{
    if (!window) {
        const int code = runAlert(alert, nullptr);
        if (completion)
            completion(code);
        return;
    }
    // Window-modal and shown with open(), so the caller returns at once. The box is the
    // window's child: destroying the window first ends the sheet without an answer. The
    // completion runs from the event loop, after the box has finished its own signals, so it
    // may close the window.
    QPointer<QMessageBox> box = makeAlert(alert, window);
    makeSheet(box, window);
    QObject::connect(
        box, &QMessageBox::finished, QCoreApplication::instance(),
        [box, completion = std::move(completion)](int) {
            if (!box)
                return;
            const int code = returnCode(box);
            box->deleteLater();
            if (completion)
                completion(code);
        },
        Qt::QueuedConnection);
    box->open();
}

int DMModalUI::runSheetModalForWindow(const Alert &alert, QWidget *window)
{
    std::unique_ptr<QMessageBox> box(makeAlert(alert, window));
    makeSheet(box.get(), window);
    box->exec();
    return returnCode(box.get());
}

QStringList DMModalUI::runOpenPanel(const FilePanel &panel, QWidget *window)
{
    DMFileDialog dialog(panel, QFileDialog::AcceptOpen, window);
    makeSheet(&dialog, window);
    if (dialog.exec() != QDialog::Accepted)
        return QStringList();
    return dialog.selectedFiles();
}

QString DMModalUI::runSavePanel(const FilePanel &panel, QWidget *window)
{
    DMFileDialog dialog(panel, QFileDialog::AcceptSave, window);
    makeSheet(&dialog, window);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

void DMModalUI::beginSheetWithPanel(QDialog *panel, QWidget *window, std::function<void(int)> completion)
{
    if (!panel)
        return;
    QPointer<QDialog> sheet = panel;
    if (window && panel->parentWidget() != window)
        panel->setParent(window, panel->windowFlags());
    if (!window)
        panel->setWindowModality(Qt::ApplicationModal);
    makeSheet(panel, window);
    // As for alerts: the completion runs from the event loop, after the panel's own signals.
    QObject::connect(
        panel, &QDialog::finished, QCoreApplication::instance(),
        [sheet, completion = std::move(completion)](int code) {
            if (!sheet)
                return;
            if (completion)
                completion(code);
            sheet->deleteLater();
        },
        Qt::QueuedConnection);
    panel->open();
}

bool DMModalUI::runTextPrompt(const QString &title, const QString &label, bool secret, QString *text, QWidget *window)
{
    QInputDialog dialog(window);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setTextEchoMode(secret ? QLineEdit::Password : QLineEdit::Normal);
    if (text)
        dialog.setTextValue(*text);
    makeSheet(&dialog, window);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (text)
        *text = dialog.textValue();
    return true;
}

void DMModalUI::presentError(const QString &message, const QString &reason, QWidget *window, const QString &title)
{
    runSheetModalForWindow(Alert{message, reason, {}, Critical, title.isEmpty() ? DMLocalizedString("Error") : title}, window);
}
