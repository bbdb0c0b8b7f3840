#pragma once

#include <QString>

class QAbstractButton;
class QAbstractScrollArea;
class QLabel;
class QLineEdit;
class QWidget;

// Sets the control's text, or the empty string when the text is null. A null control is skipped.
void setStringValueIfNotNil(QLineEdit *control, const QString &text);
void setStringValueIfNotNil(QLabel *control, const QString &text);
void setStringValueIfNotNil(QAbstractButton *control, const QString &text);

// The nearest enclosing scroll area of the widget (searching its parents, not the widget
// itself); nullptr when there is none or the widget is null.
QAbstractScrollArea *containerScrollView(const QWidget *widget);
