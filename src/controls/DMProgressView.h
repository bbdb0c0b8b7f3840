#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QWidget>

#include <optional>

// A progress bar drawn from images: an empty track and a full image, each in three slices (fixed
// left and right caps and a stretched middle), with optional tick marks, triangular scale markers
// with value labels, a marker with a label at the current value, a unit and a percentage. It keeps
// its own range; the fill is clamped between the track's ends, and an empty range (max == min)
// draws nothing. Subclasses choose other images and settings (DMProgressViewFamily.h).
class DMProgressView : public QWidget
{
    Q_OBJECT

public:
    explicit DMProgressView(QWidget *parent = nullptr);

    // Each setter does nothing when the value is unchanged, else stores it and redraws.
    double doubleValue() const { return m_value; }
    void setDoubleValue(double value);
    double minValue() const { return m_minValue; }
    void setMinValue(double value);
    double maxValue() const { return m_maxValue; }
    void setMaxValue(double value);
    int ticksCount() const { return m_ticks; }
    void setTicksCount(int count); // fewer than 2 draws none
    int markersCount() const { return m_markers; }
    void setMarkersCount(int count); // 0 draws none, 1 only the one at the maximum
    bool displayValueMarker() const { return m_displayCurrentValueMarker; }
    void setDisplayValueMarker(bool display);
    // Markers and labels above the bar (ticks below it), or below it (ticks above).
    bool markersAtTop() const { return m_markerAtTop; }
    void setMarkersAtTop(bool atTop);
    bool isFlipped() const { return !m_markerAtTop; }
    void incrementBy(double delta);
    QString unitString() const { return m_unitString; }
    void setUnitString(const QString &unit);
    // Stored only: the next drawing shows it.
    bool displayPercentage() const { return m_displayPercentage; }
    void setDisplayPercentage(bool display) { m_displayPercentage = display; }
    // The striped blue fill; only the base class has it.
    bool hasStripes() const { return m_hasStripes; }
    void setHasStripes(bool stripes);
    // 0: labels centred beyond the markers; 1: left of them; 2: right of them.
    int markerTitlePosition() const { return m_markerTitlePosition; }
    QFont markersFont() const { return m_markersFont; }
    QColor markersColor() const { return m_markersColor; }
    QImage fullImage() const { return m_fullImage; }
    QImage emptyImage() const { return m_emptyImage; }
    float leftCapWidth() const { return m_leftCapWidth; }
    float rightCapWidth() const { return m_rightCapWidth; }

    // White, the colour of the ticks and markers of every progress view.
    static QColor ticksColor();

    QSize sizeHint() const override;
    // Draws the view into a painter whose origin is the view's top left.
    virtual void drawProgress(QPainter &painter) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    // For subclasses: another image set (without stripes from then on) and their settings.
    void setImages(const QImage &full, const QImage &empty);
    void setImagesNamed(const QString &full, const QString &empty);
    void setCapWidths(float left, float right);
    void setMarkerTitlePosition(int position) { m_markerTitlePosition = position; }
    // The fill as a fraction of the track, clamped; none for an empty range.
    std::optional<qreal> fillFraction() const;

private:
    void drawBar(QPainter &painter) const;
    void drawMarkers(QPainter &painter, qreal barEnd, qreal valueMarkerX) const;
    QRectF turned(const QRectF &rect) const; // tick-edge coordinates to the widget's
    QPolygonF turned(const QPolygonF &polygon) const;
    template <typename T>
    void setAndRedraw(T &field, const T &value);

    double m_value = 0;
    double m_maxValue = 100;
    double m_minValue = 0;
    int m_ticks = 5;
    int m_markers = 0;
    QString m_unitString = QStringLiteral("%");
    QFont m_markersFont;
    QColor m_markersColor{123, 181, 238};
    bool m_displayCurrentValueMarker = true;
    bool m_markerAtTop = true;
    bool m_hasStripes = false;
    bool m_stripesAllowed = true;
    bool m_displayPercentage = false;
    int m_markerTitlePosition = 0;
    QImage m_fullImage;
    QImage m_emptyImage;
    float m_leftCapWidth = 11;
    float m_rightCapWidth = 11;
};
