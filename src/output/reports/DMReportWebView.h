#pragma once

#include <QTextBrowser>

// The report view: a text browser whose scroll bars follow the report as laid out at the view's
// width. When its width changes, QTextEdit lays the report out anew but, when the report was
// wider than the view and now fits in it, keeps the scroll ranges of the old layout: those of a
// page laid out at the default size of a widget never shown (a thumb a few pixels long over
// thousands of pixels) or those of a shorter window (room to scroll past the report's end). The
// ranges are set again from the new layout where they are longer than it needs.
class DMReportWebView : public QTextBrowser
{
    Q_OBJECT

public:
    explicit DMReportWebView(QWidget *parent = nullptr);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // Whether a scroll bar reaches past the report as laid out now.
    bool scrollRangesOutliveLayout() const;
};
