#include "DMPasswordPanel.h"

#include "DMLocalizedString.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

enum { CancelCode = 0, ValidateCode = 1 };

QLineEdit *secureField(QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setEchoMode(QLineEdit::Password);
    field->setMinimumWidth(220);
    return field;
}

// Return in a field reaches the field only: no button of the panel is a default button.
QPushButton *button(const char *title, QWidget *parent)
{
    auto *button = new QPushButton(DMLocalizedString(title), parent);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

DMPasswordPanel *DMPasswordPanel::passwordPanel(QWidget *parent)
{
    return new DMPasswordPanel(parent);
}

DMPasswordPanel::DMPasswordPanel(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(DMLocalizedString("Set Password"));
    m_containerView = new QWidget(this);
    m_informativeLabel = new QLabel(m_containerView);
    m_informativeLabel->setWordWrap(true);
    m_passwordField1 = secureField(m_containerView);
    m_passwordField2 = secureField(m_containerView);
    m_cancelButton = button("Cancel", m_containerView);
    m_validateButton = button("Set Password", m_containerView);
    m_validateButton->setEnabled(false);

    auto *fields = new QFormLayout;
    fields->addRow(DMLocalizedString("Password:"), m_passwordField1);
    fields->addRow(DMLocalizedString("Verify:"), m_passwordField2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_validateButton);
    auto *layout = new QVBoxLayout(m_containerView);
    layout->addWidget(m_informativeLabel);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    auto *content = new QVBoxLayout(this);
    content->setContentsMargins(0, 0, 0, 0);
    content->addWidget(m_containerView);
    content->setSizeConstraint(QLayout::SetFixedSize);

    for (QLineEdit *field : {m_passwordField1, m_passwordField2}) {
        connect(field, &QLineEdit::textChanged, this, &DMPasswordPanel::controlTextDidChange);
        connect(field, &QLineEdit::returnPressed, this, [this, field] { uiCallback(field); });
    }
    for (QPushButton *b : {m_cancelButton, m_validateButton})
        connect(b, &QPushButton::clicked, this, [this, b] { uiCallback(b); });
}

QString DMPasswordPanel::password() const
{
    const QString first = m_passwordField1->text();
    if (first != m_passwordField2->text())
        return QString();
    if (first.isEmpty())
        return m_allowsEmptyPassword ? QStringLiteral("") : QString();
    return first;
}

void DMPasswordPanel::setAllowsEmptyPassword(bool allows)
{
    m_allowsEmptyPassword = allows;
    controlTextDidChange();
}

void DMPasswordPanel::controlTextDidChange()
{
    m_validateButton->setEnabled(!password().isNull());
}

void DMPasswordPanel::uiCallback(QObject *sender)
{
    if (sender == m_passwordField1) {
        m_passwordField2->setFocus();
    } else if (sender == m_passwordField2) {
        m_validateButton->click();
    } else if (sender == m_cancelButton) {
        done(CancelCode);
    } else if (sender == m_validateButton) {
        if (!password().isNull())
            done(ValidateCode);
    }
}
