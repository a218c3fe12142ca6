#include "app/thumbgrid.h"

#include "platform/jpeg.h"
#include "platform/pictures.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <atomic>
#include <thread>

namespace mv {

ThumbGrid::ThumbGrid(Catalog &catalog, QWidget *parent) : QAbstractScrollArea(parent), catalog_(catalog)
{
    // About 80 MB of decoded, scaled thumbnails at the largest cell size.
    cache_.setMaxCost(8000);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAutoFillBackground(false);
    setFrameShape(QFrame::NoFrame);
    warmTimer_.setSingleShot(true);
    warmTimer_.setInterval(0);
    connect(&warmTimer_, &QTimer::timeout, this, [this] {
        try {
            warmUp();
        } catch (const std::exception &) {
            // Warming up is only a head start; painting reports nothing either.
        }
    });
}

bool ThumbGrid::rowDecoded(int row)
{
    const auto &thumbs = catalog_.thumbs();
    const int n = std::min(catalog_.QVListF.isOpen() ? catalog_.QVListF.recordCount() : 0, int(thumbs.size()));
    for (int k = row * columns_; k < std::min(n, (row + 1) * columns_); ++k)
        if (!cache_.contains(cacheKey(thumbs[std::size_t(k)].id)))
            return false;
    return true;
}

void ThumbGrid::warmUp()
{
    // While the user looks, decode the screens just below and above the view
    // a slice at a time, so scrolling there paints from the cache.
    if (!catalog_.QVListF.isOpen() || !isVisible())
        return;
    const int pitch = cellSize_ + 1;
    const int scroll = verticalScrollBar()->value();
    const int visible = std::max(1, viewport()->height() / pitch + 1);
    const int first = scroll / pitch;
    const int last = std::min(rows_ - 1, first + visible - 1);
    for (int r = last + 1; r <= std::min(rows_ - 1, last + visible); ++r) {
        if (!rowDecoded(r)) {
            prefetch(r, std::min(rows_ - 1, r + 1));
            warmTimer_.start();
            return;
        }
    }
    for (int r = first - 1; r >= std::max(0, first - visible); --r) {
        if (!rowDecoded(r)) {
            prefetch(std::max(0, r - 1), r);
            warmTimer_.start();
            return;
        }
    }
}

void ThumbGrid::setCellSize(int size)
{
    cellSize_ = size;
    updateScrollBar();
    viewport()->update();
}

void ThumbGrid::relayout()
{
    const int n = catalog_.QVListF.isOpen() ? catalog_.QVListF.recordCount() : 0;
    columns_ = std::max(1, viewport()->width() / (cellSize_ + 2));
    rows_ = n / columns_ + 1;
    selCol_ = std::min(selCol_, columns_ - 1);
    selRow_ = std::min(selRow_, rows_ - 1);
    updateScrollBar();
    viewport()->update();
}

void ThumbGrid::updateScrollBar()
{
    const int pitch = cellSize_ + 1;
    const int content = rows_ * pitch;
    verticalScrollBar()->setRange(0, std::max(0, content - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(pitch);
}

QRect ThumbGrid::cellRect(int column, int row) const
{
    const int pitch = cellSize_ + 1;
    return QRect(column * pitch, row * pitch - verticalScrollBar()->value(), cellSize_, cellSize_);
}

int ThumbGrid::positionAt(const QPoint &p) const
{
    const int pitch = cellSize_ + 1;
    const int y = p.y() + verticalScrollBar()->value();
    if (p.x() < 0 || y < 0)
        return -1;
    const int c = p.x() / pitch;
    const int r = y / pitch;
    if (c >= columns_ || r >= rows_)
        return -1;
    return c + r * columns_;
}

void ThumbGrid::selectCell(int column, int row)
{
    column = std::clamp(column, 0, columns_ - 1);
    row = std::clamp(row, 0, rows_ - 1);
    selCol_ = column;
    selRow_ = row;
    ensureVisible(row);
    viewport()->update();
    emit cellSelected(column, row);
}

void ThumbGrid::selectPosition(int k)
{
    if (k < 0)
        return;
    selectCell(k % columns_, k / columns_);
}

void ThumbGrid::ensureVisible(int row)
{
    const int pitch = cellSize_ + 1;
    const int top = row * pitch;
    QScrollBar *sb = verticalScrollBar();
    if (top < sb->value())
        sb->setValue(top);
    else if (top + pitch > sb->value() + viewport()->height())
        sb->setValue(top + pitch - viewport()->height());
}

ThumbGrid::Decoded *ThumbGrid::decodeThumbnail(const QByteArray &bytes, int cellSize)
{
    Bitmap picture;
    try {
        picture = jpeg::decode(bytes);
    } catch (const std::exception &) {
        picture = Bitmap();
    }
    if (picture.isEmpty())
        picture = pictures::noImage();
    auto *d = new Decoded;
    d->w = picture.width();
    d->h = picture.height();
    const int b = cellSize - 6;
    int sw, sh;
    if (d->w > d->h) {
        sw = b;
        sh = b * d->h / d->w;
    } else {
        sh = b;
        sw = b * d->w / d->h;
    }
    d->scaled = picture.view().scaled(std::max(1, sw), std::max(1, sh), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return d;
}

quint64 ThumbGrid::cacheKey(qint32 id) const { return (quint64(quint32(id)) << 8) | quint64(cellSize_); }

const QImage *ThumbGrid::thumbnail(qint32 id, int &w, int &h)
{
    Decoded *d = cache_.object(cacheKey(id));
    if (!d) {
        db::Query &q = catalog_.QVListF;
        if (!q.locate(QStringLiteral("id"), id))
            return nullptr;
        d = decodeThumbnail(q.bytes(QStringLiteral("SmallPhoto")), cellSize_);
        cache_.insert(cacheKey(id), d, 1);
    }
    w = d->w;
    h = d->h;
    return &d->scaled;
}

void ThumbGrid::prefetch(int firstRow, int lastRow)
{
    db::Query &q = catalog_.QVListF;
    if (!q.isOpen())
        return;
    const auto &thumbs = catalog_.thumbs();
    const int n = std::min(q.recordCount(), int(thumbs.size()));
    struct Job {
        qint32 id;
        QByteArray bytes;
        Decoded *result = nullptr;
    };
    std::vector<Job> jobs;
    for (int k = firstRow * columns_; k < std::min(n, (lastRow + 1) * columns_); ++k) {
        const qint32 id = thumbs[std::size_t(k)].id;
        if (cache_.contains(cacheKey(id)) || !q.locate(QStringLiteral("id"), id))
            continue;
        jobs.push_back({id, q.bytes(QStringLiteral("SmallPhoto"))});
    }
    if (jobs.size() < 8) {
        for (Job &j : jobs)
            cache_.insert(cacheKey(j.id), decodeThumbnail(j.bytes, cellSize_), 1);
        return;
    }
    // The database stays on this thread; only the decoding is shared out.
    const unsigned workers = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < jobs.size();)
            jobs[i].result = decodeThumbnail(jobs[i].bytes, cellSize_);
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < workers; ++t)
        pool.emplace_back(work);
    work();
    for (auto &t : pool)
        t.join();
    for (Job &j : jobs)
        cache_.insert(cacheKey(j.id), j.result, 1);
}

void ThumbGrid::DrawGrid1DrawCell(QPainter &p, int c, int r, const QRect &R)
{
    db::Query &q = catalog_.QVListF;
    if (!q.isOpen())
        return;
    const int k = c + r * columns_;
    const int n = q.recordCount();
    if (k >= n || k >= int(catalog_.thumbs().size()))
        return;
    const ThumbEntry &entry = catalog_.thumbs()[std::size_t(k)];
    int w = 0, h = 0;
    const QImage *img = thumbnail(entry.id, w, h);
    if (!img)
        return;
    const bool selected = (c == selCol_ && r == selRow_);
    auto box = [&](QRgb fill) {
        p.setPen(QColor(kInnerShadow));
        p.setBrush(QColor(fill));
        p.drawRect(R.adjusted(0, 0, -1, -1));
    };
    if (selected)
        box(kSelected);
    if (entry.marked)
        box(kMarked);
    const int s = cellSize_;
    const int b = s - 6;
    int dw, dh;
    if (w > h) {
        dw = b;
        dh = b * h / w;
    } else {
        dh = b;
        dw = b * w / h;
    }
    const int L = R.left() + (s - dw) / 2;
    const int T = R.top() + (s - dh) / 2;
    p.drawImage(QRect(L, T, dw, dh), *img);
    p.setBrush(Qt::NoBrush);
    p.setPen(QColor(kFrame));
    p.drawRect(L - 1, T - 1, dw + 1, dh + 1); // the ring just outside the picture
    p.setPen(QColor(kOuterShadow));
    p.drawLine(L + 2, T + dh + 2, L + dw + 1, T + dh + 2);
    p.drawLine(L + dw + 2, T + dh + 2, L + dw + 2, T + 3);
    p.setPen(QColor(kInnerShadow));
    p.drawLine(L + 1, T + dh + 1, L + dw, T + dh + 1);
    p.drawLine(L + dw + 1, T + dh + 1, L + dw + 1, T + 2);
}

void ThumbGrid::paintEvent(QPaintEvent *event)
{
    QPainter p(viewport());
    const QRect area = event->rect();
    p.fillRect(area, QColor(kBackground));
    const int pitch = cellSize_ + 1;
    const int scroll = verticalScrollBar()->value();
    const int firstRow = std::max(0, (area.top() + scroll) / pitch);
    const int lastRow = std::min(rows_ - 1, (area.bottom() + scroll) / pitch);
    prefetch(firstRow, lastRow);
    warmTimer_.start();
    const QColor line(160, 160, 160);
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int c = 0; c < columns_; ++c) {
            const QRect R = cellRect(c, r);
            if (!R.intersects(area))
                continue;
            p.setPen(line);
            p.drawLine(R.right() + 1, R.top(), R.right() + 1, R.bottom() + 1);
            p.drawLine(R.left(), R.bottom() + 1, R.right() + 1, R.bottom() + 1);
            DrawGrid1DrawCell(p, c, r, R);
            if (c == selCol_ && r == selRow_ && hasFocus()) {
                p.setPen(QPen(Qt::black, 1, Qt::DotLine));
                p.setBrush(Qt::NoBrush);
                p.drawRect(R.adjusted(0, 0, -1, -1));
            }
        }
    }
}

void ThumbGrid::DrawGrid1MouseDown(QMouseEvent *event)
{
    const int n = int(catalog_.thumbs().size());
    const int k = positionAt(event->position().toPoint());
    if (k < 0 || k >= n)
        return;
    auto &thumbs = catalog_.thumbs();
    const Qt::KeyboardModifiers m = event->modifiers();
    if (m & Qt::ControlModifier) {
        thumbs[std::size_t(k)].marked = !thumbs[std::size_t(k)].marked;
    } else if ((m & Qt::ShiftModifier) && !(m & Qt::AltModifier)) {
        int f = -1;
        for (int i = 0; i < n && f < 0; ++i)
            if (thumbs[std::size_t(i)].marked)
                f = i;
        const int lo = f < 0 ? k : std::min(f, k);
        const int hi = f < 0 ? k : std::max(f, k);
        for (int i = 0; i < n; ++i)
            thumbs[std::size_t(i)].marked = (i >= lo && i <= hi);
    } else if ((m & Qt::ShiftModifier) && (m & Qt::AltModifier)) {
        for (auto &t : thumbs)
            t.marked = false;
    }
    viewport()->update();
}

void ThumbGrid::mousePressEvent(QMouseEvent *event)
{
    if (!isEnabled())
        return;
    setFocus();
    const int k = positionAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && k >= 0)
        selectPosition(k);
    DrawGrid1MouseDown(event);
}

void ThumbGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && positionAt(event->position().toPoint()) >= 0)
        emit editRequested();
}

void ThumbGrid::DrawGrid1KeyPress(QKeyEvent *event)
{
    // Ctrl+A arrives as character code 1 where the platform composes it.
    const bool ctrlA = event->text() == QString(QChar(1)) ||
                       (event->key() == Qt::Key_A && (event->modifiers() & Qt::ControlModifier));
    if (ctrlA) {
        for (auto &t : catalog_.thumbs())
            t.marked = !t.marked;
        viewport()->update();
    }
}

void ThumbGrid::keyPressEvent(QKeyEvent *event)
{
    const int visibleRows = std::max(1, viewport()->height() / (cellSize_ + 1));
    switch (event->key()) {
    case Qt::Key_Left: selectCell(selCol_ - 1, selRow_); return;
    case Qt::Key_Right: selectCell(selCol_ + 1, selRow_); return;
    case Qt::Key_Up: selectCell(selCol_, selRow_ - 1); return;
    case Qt::Key_Down: selectCell(selCol_, selRow_ + 1); return;
    case Qt::Key_PageUp: selectCell(selCol_, selRow_ - visibleRows); return;
    case Qt::Key_PageDown: selectCell(selCol_, selRow_ + visibleRows); return;
    case Qt::Key_Home:
        if (event->modifiers() & Qt::ControlModifier)
            selectCell(0, 0);
        else
            selectCell(0, selRow_);
        return;
    case Qt::Key_End:
        if (event->modifiers() & Qt::ControlModifier)
            selectCell(columns_ - 1, rows_ - 1);
        else
            selectCell(columns_ - 1, selRow_);
        return;
    default: break;
    }
    DrawGrid1KeyPress(event);
}

void ThumbGrid::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    // Only the grid commands recompute the column count; a resize just
    // changes what is visible.
    updateScrollBar();
}

void ThumbGrid::scrollContentsBy(int, int) { viewport()->update(); }

} // namespace mv
