#pragma once

#include "DMProgressView.h"

// Progress views that differ from DMProgressView only in their images and settings. None of them
// has the striped fill.

// Light blue on a green track.
class DMProgressView2 : public DMProgressView
{
    Q_OBJECT
public:
    explicit DMProgressView2(QWidget *parent = nullptr);
};

// Orange on white.
class DMProgressView3 : public DMProgressView
{
    Q_OBJECT
public:
    explicit DMProgressView3(QWidget *parent = nullptr);
};

// Red-orange on white.
class DMProgressView4 : public DMProgressView
{
    Q_OBJECT
public:
    explicit DMProgressView4(QWidget *parent = nullptr);
};

// Green blocks without caps; labels left of the markers.
class DMProgressViewBlocksGreen : public DMProgressView
{
    Q_OBJECT
public:
    explicit DMProgressViewBlocksGreen(QWidget *parent = nullptr);
};

// Orange blocks without caps; labels left of the markers.
class DMProgressViewBlocksOrange : public DMProgressView
{
    Q_OBJECT
public:
    explicit DMProgressViewBlocksOrange(QWidget *parent = nullptr);
};

// A thin blue bar with 8-point caps, no ticks and no value marker; markers below.
class DMProgressViewThin : public DMProgressView
{
    Q_OBJECT
public:
    explicit DMProgressViewThin(QWidget *parent = nullptr);
};
