#pragma once
// What the viewer needs of the main window's grid and catalogue query to step
// through the photos, and of the main window's overlay choice. The main window
// implements it (the viewer must not know the main window).

#include <QtGlobal>

namespace mv {

class GridNavigator {
public:
    virtual ~GridNavigator() = default;

    // The selected cell of the grid.
    virtual int selectedColumn() const = 0;
    virtual int selectedRow() const = 0;
    virtual int columnCount() const = 0;
    virtual int rowCount() const = 0;
    virtual void selectCell(int column, int row) = 0;

    // Records of the catalogue query, and the photo id of thumbnail-list entry index.
    virtual int recordCount() const = 0;
    virtual qint64 idAt(int index) const = 0;

    // The "Go!" command: rebuilds the catalogue query after attributes changed.
    virtual void runGo() = 0;

    // The overlay flags (Date 1, Text 2, Album 4, Theme 8, Photo parameter
    // 16), kept by the main window for the whole run.
    virtual quint8 overlayFlags() const = 0;
    virtual void setOverlayFlags(quint8 flags) = 0;
};

} // namespace mv
