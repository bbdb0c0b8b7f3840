#pragma once

#include <QRect>
#include <QRectF>
#include <QSizeF>

#include <functional>
#include <memory>
#include <vector>

class QPainter;

// A drawing kept for printing: the paint commands of a view recorded once, as vectors, and
// played back part by part onto any painter (a PDF page, a printer, an image).
//
// The commands are kept in square tiles, each holding only the commands that meet it, so a page
// plays the few tiles it shows and not the whole chart. Images stay shared with the view that
// drew them (a PDF writer then stores a repeated image once), and texts stay texts.
//
// Units are those of the recorded view: screen pixels, 96 to the inch. Fonts are played at the
// same size in these units whatever the resolution of the device played on.
class DMPrintPicture
{
public:
    // Draws the tile (picture coordinates) with the painter, which is in picture coordinates.
    using Drawing = std::function<void(QPainter *painter, const QRect &tile)>;
    static constexpr int kDefaultTileSize = 1024;
    static constexpr double kRecordingDpi = 96.0;

    // Records (0, 0, size) tile by tile; an empty size records nothing.
    static std::shared_ptr<const DMPrintPicture> record(const QSizeF &size, const Drawing &drawing,
                                                        int tileSize = kDefaultTileSize);

    ~DMPrintPicture();

    QSizeF size() const { return m_size; }
    bool isEmpty() const { return m_size.isEmpty(); }
    // Plays the part (y down, picture coordinates) onto the painter, whose coordinates are the
    // picture's; nothing outside the part is drawn.
    void drawPart(QPainter *painter, const QRectF &part) const;
    // Commands kept, all tiles together.
    qsizetype commandCount() const;

    struct Tile;

private:
    DMPrintPicture();

    QSizeF m_size;
    std::vector<Tile> m_tiles;
};
