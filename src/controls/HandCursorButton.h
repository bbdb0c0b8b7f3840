#pragma once

#include <QPushButton>

// A push button that shows the pointing-hand cursor over its whole bounds.
class HandCursorButton : public QPushButton
{
    Q_OBJECT

public:
    explicit HandCursorButton(QWidget *parent = nullptr) : HandCursorButton(QString(), parent) {}
    explicit HandCursorButton(const QString &text, QWidget *parent = nullptr) : QPushButton(text, parent)
    {
        setCursor(Qt::PointingHandCursor);
    }
};
