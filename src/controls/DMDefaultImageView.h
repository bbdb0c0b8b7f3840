#pragma once

#include "DMDefaultImageCell.h"

#include <QWidget>

// An image view that falls back to a default image, drawn through its DMDefaultImageCell.
class DMDefaultImageView : public QWidget
{
    Q_OBJECT

public:
    explicit DMDefaultImageView(const QImage &defaultImage = QImage(), QWidget *parent = nullptr);

    QImage image() const { return m_cell.image(); }
    void setImage(const QImage &image);
    void setObjectValue(const QVariant &value);
    QImage defaultImage() const { return m_cell.defaultImage(); }
    void setDefaultImage(const QImage &image) { m_cell.setDefaultImage(image); }
    DMDefaultImageCell &cell() { return m_cell; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    DMDefaultImageCell m_cell;
};
