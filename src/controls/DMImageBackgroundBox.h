#pragma once

#include <QGroupBox>
#include <QImage>

// A box that paints a background image stretched over its bounds, replacing what is below, under
// its own frame and title. It is never transparent.
class DMImageBackgroundBox : public QGroupBox
{
    Q_OBJECT

public:
    explicit DMImageBackgroundBox(QWidget *parent = nullptr);

    QImage backgroundImage() const { return m_backgroundImage; }
    void setBackgroundImage(const QImage &image);
    bool isTransparent() const { return false; }
    // Kept opaque whatever is asked: the image is the box's background.
    void setTransparent(bool) {}

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_backgroundImage;
};

// A box on a black shine.
class DMBlackShineBox : public DMImageBackgroundBox
{
    Q_OBJECT
public:
    explicit DMBlackShineBox(QWidget *parent = nullptr);
};

// A box on a light grey gradient.
class DMStandardGradientBox : public DMImageBackgroundBox
{
    Q_OBJECT
public:
    explicit DMStandardGradientBox(QWidget *parent = nullptr);
};
