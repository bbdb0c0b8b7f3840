#pragma once

#include <QStackedWidget>

// A stack of pages that shows one at a time and asks for the room of the page shown only: a page
// out of sight does not keep the area it would need from the panes beside the stack.
class DMPageStack : public QStackedWidget
{
    Q_OBJECT

public:
    explicit DMPageStack(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
};
