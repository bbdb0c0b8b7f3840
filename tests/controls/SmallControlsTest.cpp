// The small controls: colour well, e-mail field, default image, textured window, drag receiver
// and blurred view, each by what it shows or does.
#include "DMBlurredView.h"
#include "DMColorWell.h"
#include "DMDefaultImageView.h"
#include "DMDragReceiverView.h"
#include "DMEMailTextField.h"
#include "DMToolbarItem.h"
#include "TexturedWindow.h"

#include "TestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QMimeData>
#include <QPainter>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

// Takes the URLs the desktop would open, so that no mail application starts.
class URLCatcher : public QObject
{
    Q_OBJECT

public:
    URLCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "open"); }
    ~URLCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("mailto")); }
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }
};

QImage filled(QSize size, QColor left, QColor right)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(left);
    QPainter(&image).fillRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height(), right);
    return image;
}

} // namespace

TEST(DMColorWell, BezelWhileActiveGrooveOtherwiseAndTheColourInside)
{
    DMColorWell well;
    well.resize(44, 23);
    well.setColor(QColor(10, 200, 30));
    const QImage groove = well.grab().toImage();
    EXPECT_EQ(groove.pixelColor(22, 11), QColor(10, 200, 30));
    EXPECT_EQ(groove.pixelColor(2, 11), QColor(10, 200, 30)); // inset by 2 exactly
    well.activate();
    ASSERT_TRUE(well.isActive());
    const QImage bezel = well.grab().toImage();
    EXPECT_NE(bezel.pixelColor(1, 11), groove.pixelColor(1, 11));
    EXPECT_GT(bezel.pixelColor(1, 11).lightness(), groove.pixelColor(1, 11).lightness());
    well.deactivate();
    EXPECT_FALSE(well.isActive());
}

TEST(DMEMailTextField, OpensOneEncodedAddressAndNoMoreThanThat)
{
    const QString hostile = QStringLiteral("ann@example.org?cc=eve@example.org&body=\"hi\"\nBcc: x@y.z");
    const QUrl url = DMEMailTextField::mailtoURL(hostile);
    EXPECT_EQ(url.scheme(), QStringLiteral("mailto"));
    EXPECT_FALSE(url.hasQuery());
    EXPECT_FALSE(url.hasFragment());
    EXPECT_EQ(url.path(QUrl::FullyDecoded), hostile);
    const QString encoded = url.toString(QUrl::FullyEncoded);
    EXPECT_TRUE(encoded.startsWith(QStringLiteral("mailto:ann@example.org%3Fcc%3Deve@example.org%26body%3D%22hi%22%0ABcc")))
        << encoded.toStdString();

}

TEST(DMEMailTextField, ALeftClickMailsTheAddressARightClickOffersToCopyIt)
{
    URLCatcher catcher;
    QWidget window;
    auto *other = new QLineEdit(&window);
    auto *field = new DMEMailTextField(&window);
    field->setGeometry(0, 30, 200, 24);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    other->setFocus();

    // An empty field: nothing, not even editing.
    QTest::mouseClick(field, Qt::LeftButton);
    EXPECT_TRUE(catcher.opened.isEmpty());
    EXPECT_FALSE(field->hasFocus());

    field->setText(QStringLiteral("bob@example.org"));
    QTest::mouseClick(field, Qt::LeftButton);
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened.first(), QUrl(QStringLiteral("mailto:bob@example.org")));
    EXPECT_FALSE(field->hasFocus());

    // The right button and the middle one open nothing; the context menu copies the address.
    for (const Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 10), field->mapToGlobal(QPointF(10, 10)), button,
                          button, Qt::NoModifier);
        QApplication::sendEvent(field, &press);
    }
    EXPECT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(field->text(), QStringLiteral("bob@example.org"));
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(10, 10), field->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(field, &menuEvent);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_TRUE(menu);
    QAction *copy = nullptr;
    for (QAction *action : menu->actions())
        if (action->text().startsWith(QStringLiteral("&Copy")))
            copy = action;
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->isEnabled());
    copy->trigger();
    menu->close();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("bob@example.org"));
}

TEST(DMDefaultImageView, NoImageShowsTheDefault)
{
    const QImage fallback = filled(QSize(8, 8), Qt::gray, Qt::gray);
    DMDefaultImageView view(fallback);
    view.resize(8, 8);
    view.setImage(filled(QSize(8, 8), Qt::red, Qt::red));
    EXPECT_EQ(view.grab().toImage().pixelColor(4, 4), QColor(Qt::red));
    view.setImage(QImage());
    EXPECT_EQ(view.image(), fallback);
    EXPECT_EQ(view.grab().toImage().pixelColor(4, 4), QColor(Qt::gray));
    view.setObjectValue(QStringLiteral("not an image"));
    EXPECT_EQ(view.image(), fallback);
    view.setObjectValue(QPixmap::fromImage(filled(QSize(8, 8), Qt::blue, Qt::blue)));
    EXPECT_EQ(view.grab().toImage().pixelColor(4, 4), QColor(Qt::blue));
}

TEST(TexturedWindow, GradientBandAboveTheContent)
{
    TexturedWindow window;
    const QImage gradient = window.unifiedToolbarGradientImage();
    ASSERT_EQ(gradient.size(), QSize(20, 77));
    EXPECT_FALSE(gradient.hasAlphaChannel());
    EXPECT_EQ(gradient.pixelColor(5, 76).red(), 128); // the bottom: grey 0.5 up to 0.1 of the height
    EXPECT_EQ(gradient.pixelColor(5, 0).red(), 230);  // the top: grey 0.9
    EXPECT_EQ(TexturedWindow::gradientSourceRect(gradient, 30), QRectF(0, 47, 20, 30));
    EXPECT_EQ(TexturedWindow::gradientSourceRect(gradient, 200), QRectF(0, 0, 20, 77));

    auto *content = new QWidget;
    content->setAutoFillBackground(true);
    window.setCentralWidget(content);
    window.setContentsMargins(0, 40, 0, 0);
    window.resize(300, 200);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_EQ(window.toolbarBand(), QRect(0, 0, 300, 40));
    const QImage shown = window.grab().toImage();
    EXPECT_GT(shown.pixelColor(150, 2).red(), shown.pixelColor(150, 37).red()); // lighter at the top
    EXPECT_EQ(shown.pixelColor(150, 120), content->palette().color(QPalette::Window));
}

namespace {

class RecordingDropDelegate : public DMDragReceiverViewDelegate
{
public:
    QStringList calls;
    bool prepares = true;

    Qt::DropAction dragReceiverViewDraggingEntered(DMDragReceiverView *, const DMDraggingInfo &info) override
    {
        calls << QStringLiteral("entered");
        return info.pasteboard->hasFormat(QStringLiteral("text/vcard")) ? Qt::CopyAction : Qt::IgnoreAction;
    }
    bool dragReceiverViewPrepareForDragOperation(DMDragReceiverView *, const DMDraggingInfo &) override
    {
        calls << QStringLiteral("prepare");
        return prepares;
    }
    bool dragReceiverViewPerformDragOperation(DMDragReceiverView *, const DMDraggingInfo &) override
    {
        calls << QStringLiteral("perform");
        return true;
    }
    void dragReceiverViewConcludeDragOperation(DMDragReceiverView *, const DMDraggingInfo &) override
    {
        calls << QStringLiteral("conclude");
    }
    void dragReceiverViewDraggingExited(DMDragReceiverView *) override { calls << QStringLiteral("exited"); }
    void dragReceiverViewDraggingEnded(DMDragReceiverView *, const DMDraggingInfo &) override
    {
        calls << QStringLiteral("ended");
    }
};

// The steps of a drag are handed to the view itself: the application's routing of drag events
// keeps the drag in progress for the process, which a synthetic drag never started.
struct DragSteps : DMDragReceiverView {
    using DMDragReceiverView::event;
};

bool sendEnter(DragSteps &view, QMimeData &data)
{
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    view.event(&enter);
    return enter.isAccepted();
}

bool sendDrop(DragSteps &view, QMimeData &data)
{
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    view.event(&drop);
    return drop.isAccepted();
}

} // namespace

TEST(DMDragReceiverView, HandsEveryStepToItsDelegateAndRefusesWithoutOne)
{
    DragSteps view;
    QMimeData card;
    card.setData(QStringLiteral("text/vcard"), "BEGIN:VCARD\r\nEND:VCARD\r\n");
    EXPECT_FALSE(sendEnter(view, card));
    EXPECT_FALSE(sendDrop(view, card));

    RecordingDropDelegate delegate;
    view.setDelegate(&delegate);
    QMimeData text;
    text.setText(QStringLiteral("plain"));
    EXPECT_FALSE(sendEnter(view, text));
    EXPECT_TRUE(sendEnter(view, card));
    EXPECT_TRUE(sendDrop(view, card));
    EXPECT_EQ(delegate.calls, QStringList({"entered", "entered", "prepare", "perform", "conclude", "ended"}));

    delegate.calls.clear();
    delegate.prepares = false;
    EXPECT_TRUE(sendEnter(view, card));
    EXPECT_FALSE(sendDrop(view, card));
    EXPECT_EQ(delegate.calls, QStringList({"entered", "prepare", "ended"}));

    // A drag that leaves the view ends for it as well.
    delegate.calls.clear();
    EXPECT_TRUE(sendEnter(view, card));
    QDragLeaveEvent leave;
    view.event(&leave);
    EXPECT_EQ(delegate.calls, QStringList({"entered", "exited", "ended"}));
    view.setDelegate(nullptr);
}

TEST(DMToolbarItem, AHiddenItemHidesItsViewAndLeavesTheToolbar)
{
    QToolBar toolbar;
    QAction *today = toolbar.addAction(QStringLiteral("Today"));
    QAction *search = toolbar.addWidget(new QLineEdit);
    toolbar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&toolbar));
    QWidget *todayView = toolbar.widgetForAction(today);
    QWidget *searchView = toolbar.widgetForAction(search);
    ASSERT_TRUE(todayView && searchView && todayView->isVisible());
    const int searchX = searchView->x();

    DMToolbarItem_setHidden(today, true);
    EXPECT_TRUE(DMToolbarItem_isHidden(today));
    EXPECT_FALSE(todayView->isVisible());
    EXPECT_FALSE(DMToolbarItem_isHidden(search));
    EXPECT_TRUE(halcyra::test::waitFor([&] { return searchView->x() < searchX; })); // its place is given up

    DMToolbarItem_setHidden(today, false);
    EXPECT_FALSE(DMToolbarItem_isHidden(today));
    EXPECT_TRUE(halcyra::test::waitFor([&] { return todayView->isVisible() && searchView->x() == searchX; }));
}

TEST(DMBlurredView, SaturatesThenBlursWhatLiesBehind)
{
    // Dull red beside dull blue: saturation pushes each towards its pure colour.
    const QImage backdrop = filled(QSize(40, 10), QColor(150, 100, 100), QColor(100, 100, 150));
    const QImage sharp = DMBlurredView::filteredImage(backdrop, 2.0f, 0.0f);
    EXPECT_GT(sharp.pixelColor(5, 5).red(), 150);
    EXPECT_LT(sharp.pixelColor(5, 5).green(), 100);
    EXPECT_EQ(sharp.pixelColor(19, 5), sharp.pixelColor(5, 5)); // radius 0: the edge stays sharp
    const QImage blurred = DMBlurredView::filteredImage(backdrop, 1.0f, 8.0f);
    EXPECT_EQ(blurred.pixelColor(0, 5).red(), 150);
    EXPECT_LT(blurred.pixelColor(19, 5).red(), 140);
    EXPECT_GT(blurred.pixelColor(19, 5).blue(), 110);

    // On screen: the blurred sibling below, under the white tint; the view's own child is sharp.
    QWidget parent;
    parent.resize(120, 60);
    auto *below = new QWidget(&parent);
    below->setGeometry(0, 0, 60, 60);
    below->setAutoFillBackground(true);
    below->setPalette(QPalette(Qt::black));
    auto *view = new DMBlurredView(&parent);
    view->setGeometry(20, 10, 80, 40);
    view->setBlurRadius(0);
    view->setTintColor(QColor::fromRgbF(1, 1, 1, 0.5f));
    const QImage shown = parent.grab().toImage();
    EXPECT_EQ(shown.pixelColor(30, 30).red(), 128); // black under half white
    EXPECT_GT(shown.pixelColor(90, 30).red(), 200); // the parent's light ground under the tint
}

#include "SmallControlsTest.moc"
