#pragma once
// The thumbnail grid: square cells row by row in the order of the thumbnail
// list, the selected cell, and the marks. Thumbnails are decoded from the
// catalogue query's snapshot when a cell paints; a bounded cache keeps the
// decoded, scaled pictures so scrolling and repaints stay cheap.

#include "catalog/catalog.h"

#include <QAbstractScrollArea>
#include <QCache>
#include <QImage>
#include <QTimer>

namespace mv {

class ThumbGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ThumbGrid(Catalog &catalog, QWidget *parent = nullptr);

    int cellSize() const { return cellSize_; }
    void setCellSize(int size);
    int columnCount() const { return columns_; }
    int rowCount() const { return rows_; }
    // The grid's size in cells for the current result (the re-layout).
    void relayout();

    int selectedPosition() const { return selRow_ * columns_ + selCol_; }
    void selectPosition(int k); // moves the selection, scrolling it into view
    void selectCell(int column, int row);
    int positionAt(const QPoint &viewportPos) const; // -1 outside the cells
    QRect cellRect(int column, int row) const;       // viewport coordinates

    // Drops decoded thumbnails (after the viewer changed some).
    void clearCache() { cache_.clear(); }

    // Paints one cell into R.
    void DrawGrid1DrawCell(QPainter &painter, int column, int row, const QRect &R);
    // Marking with the pointer.
    void DrawGrid1MouseDown(QMouseEvent *event);
    // Ctrl+A (character code 1) inverts every mark.
    void DrawGrid1KeyPress(QKeyEvent *event);

    static constexpr QRgb kSelected = qRgb(102, 119, 153);
    static constexpr QRgb kMarked = qRgb(0, 255, 255);
    static constexpr QRgb kFrame = qRgb(255, 255, 255);
    static constexpr QRgb kOuterShadow = qRgb(51, 51, 51);
    static constexpr QRgb kInnerShadow = qRgb(34, 34, 34);
    static constexpr QRgb kBackground = qRgb(180, 180, 180);

signals:
    void cellSelected(int column, int row);
    void editRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct Decoded;
    static Decoded *decodeThumbnail(const QByteArray &bytes, int cellSize);
    quint64 cacheKey(qint32 id) const;
    const QImage *thumbnail(qint32 id, int &w, int &h);
    // Decodes the missing thumbnails of these rows on all cores at once.
    void prefetch(int firstRow, int lastRow);
    void updateScrollBar();
    void ensureVisible(int row);

    Catalog &catalog_;
    int cellSize_ = 60;
    int columns_ = 1;
    int rows_ = 1;
    int selCol_ = 0;
    int selRow_ = 0;
    struct Decoded {
        QImage scaled;
        int w = 0, h = 0;
    };
    QCache<quint64, Decoded> cache_;
    QTimer warmTimer_;
    bool rowDecoded(int row);
    void warmUp();
};

} // namespace mv
