#pragma once

#include <QWidget>

class DMItemBackgroundView;
class QMouseEvent;

// The card that owns a background view, told of every click that reaches the background.
// Defaults do nothing.
class DMItemBackgroundViewDelegate
{
public:
    virtual ~DMItemBackgroundViewDelegate() = default;
    virtual void viewMouseDown(DMItemBackgroundView *, QMouseEvent *) {}
    virtual void viewMouseUp(DMItemBackgroundView *, QMouseEvent *) {}
};

// The background of a card in a DMCollectionView: paints the selection and takes every click
// that no control of the card takes. Labels and images let presses through to it; it reports
// them to its delegate and then lets them travel on to the collection view, which selects the
// card. Buttons keep their own clicks.
//
// The delegate is not owned: the card owns this view and outlives it.
class DMItemBackgroundView : public QWidget
{
    Q_OBJECT

public:
    explicit DMItemBackgroundView(QWidget *parent = nullptr);

    DMItemBackgroundViewDelegate *delegate() const { return m_delegate; }
    void setDelegate(DMItemBackgroundViewDelegate *delegate) { m_delegate = delegate; }

    bool selected() const { return m_selected; }
    void setSelected(bool selected);

    // The fill of a selected card: the palette's highlight colour.
    QColor selectionColor() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    DMItemBackgroundViewDelegate *m_delegate = nullptr;
    bool m_selected = false;
};
