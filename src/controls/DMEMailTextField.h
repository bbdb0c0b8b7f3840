#pragma once

#include <QLineEdit>
#include <QUrl>

// A field holding an e-mail address: a click on a field that holds one opens a new mail to it
// with the desktop's mail application instead of starting to edit. An empty field edits.
class DMEMailTextField : public QLineEdit
{
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;

    // "mailto:" and the whole text percent-encoded as one address: "?", "&", ",", quotes and
    // line breaks in it can add no recipient, header or argument.
    static QUrl mailtoURL(const QString &address);

protected:
    void mousePressEvent(QMouseEvent *event) override;
};
