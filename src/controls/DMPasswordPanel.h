#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// Asks for a new password twice. Run as a sheet on a document window (window-modal, opened with
// open()); it finishes with 1 from "Set Password", which it allows only when both entries are
// equal and not empty, and with 0 from "Cancel" (or Escape). The caller then reads password().
class DMPasswordPanel : public QDialog
{
    Q_OBJECT

public:
    static DMPasswordPanel *passwordPanel(QWidget *parent = nullptr);
    explicit DMPasswordPanel(QWidget *parent = nullptr);

    QWidget *containerView() const { return m_containerView; }
    QLabel *informativeLabel() const { return m_informativeLabel; }
    QLineEdit *passwordField1() const { return m_passwordField1; }
    QLineEdit *passwordField2() const { return m_passwordField2; }
    QPushButton *cancelButton() const { return m_cancelButton; }
    QPushButton *validateButton() const { return m_validateButton; }

    // The first entry when it equals the second and is not empty; a null string otherwise.
    QString password() const;
    // Allows confirming two empty entries, which password() then answers as the empty (not
    // null) string: how a document's password is removed. Off by default.
    bool allowsEmptyPassword() const { return m_allowsEmptyPassword; }
    void setAllowsEmptyPassword(bool allows);

    // Either field edited: the validate button is enabled exactly when there is a password.
    void controlTextDidChange();
    // The action of the fields and buttons: Return in the first field moves to the second, Return
    // in the second clicks the validate button, the buttons end the sheet.
    void uiCallback(QObject *sender);

private:
    QWidget *m_containerView = nullptr;
    QLabel *m_informativeLabel = nullptr;
    QLineEdit *m_passwordField1 = nullptr;
    QLineEdit *m_passwordField2 = nullptr;
    QPushButton *m_cancelButton = nullptr;
    QPushButton *m_validateButton = nullptr;
    bool m_allowsEmptyPassword = false;
};
