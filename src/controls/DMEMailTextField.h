#pragma once

#include <QLineEdit>
#include <QUrl>

// A field holding an e-mail address: a left click on a field that holds one opens a new mail to
// it with the desktop's mail application; a click never starts editing (the keyboard reaches the
// field with Tab), and on an empty field it does nothing. A right click shows the field's
// context menu, with the whole address selected so that it can be copied.
class DMEMailTextField : public QLineEdit
{
    Q_OBJECT

public:
    explicit DMEMailTextField(QWidget *parent = nullptr);

    // "mailto:" and the whole text percent-encoded as one address: "?", "&", ",", quotes and
    // line breaks in it can add no recipient, header or argument.
    static QUrl mailtoURL(const QString &address);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
};
