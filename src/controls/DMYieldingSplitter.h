#pragma once

#include <QSplitter>

// Two panes along the split: the first keeps the length it was given (by the user's drag, or by
// setGivenFirstLength) while the second has room beside it, and gives way as the splitter
// shrinks, down to half of it, taking its length back as the splitter grows again; the second
// takes the rest.
class DMYieldingSplitter : public QSplitter
{
    Q_OBJECT

public:
    explicit DMYieldingSplitter(Qt::Orientation orientation, QWidget *parent = nullptr);

    // The first pane's length as given, whether or not it gives way now.
    int givenFirstLength() const;
    void setGivenFirstLength(int length);
    // The room the second pane keeps before the first gives way; 300 at first.
    void setSecondPaneRoom(int room) { m_secondRoom = room; }
    // The first pane's length when given that length, in a splitter of that length without its
    // divider: what is given, as far as it leaves the room to the second, or half.
    static int yieldedLength(int given, int available, int secondRoom);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layOutPanes();

    int m_given = -1;   // -1: none given, a plain splitter
    int m_yielded = -1; // the first pane's length while it gives way; -1 when it does not
    int m_secondRoom = 300;
};
