#pragma once

#include "DMModalUI.h"

#include <QFileDialog>
#include <QPointer>
#include <QStringList>

class QItemSelectionModel;
class QLineEdit;
class QPushButton;

// The open and save panel: Qt's own (never the platform's) file dialog, taught that a folder
// with one of the package extensions is one document. Such a package shows as a file, is
// selected as one, opens on a double click or Return instead of being browsed into, and in a
// save panel is offered for replacing after the user confirms it. Plain folders are browsed
// as usual; an open panel that chooses folders takes the ones selected when Open is clicked.
class DMFileDialog : public QFileDialog
{
    Q_OBJECT

public:
    DMFileDialog(const DMModalUI::FilePanel &panel, AcceptMode mode, QWidget *parent = nullptr);

    bool isPackage(const QString &path) const;
    // A package, or any folder in an open panel that chooses folders: chosen whole.
    bool isChosenWhole(const QString &path) const;

    // Opens a selected package, replaces an existing one after asking; the rest is Qt's.
    void accept() override;

private:
    void activate(const QModelIndex &index);
    void showSelectedPackages();
    void keepAcceptButtonTitle();
    QPushButton *acceptButton() const;

    QStringList m_packageExtensions;
    bool m_choosesFolders = false;
    QString m_acceptTitle;
    // Widgets of Qt's dialog, children of this one.
    QPointer<QLineEdit> m_nameField;
    QPointer<QItemSelectionModel> m_selection;
};
