// Connects the viewer and the video player to the main window: the viewer
// steps through the main grid and reaches the overlay flags and Go! through
// GridNavigator, implemented here over the grid and the catalogue.

#include "app/mainform.h"
#include "app/thumbgrid.h"
#include "app/wiring.h"
#include "imaging/forms.h"
#include "viewer/formimage.h"
#include "viewer/formplayer.h"

#include <QTimer>
#include <algorithm>

namespace mv {

namespace {

class MainGridNavigator final : public GridNavigator {
public:
    explicit MainGridNavigator(TmainForm &form) : form_(form) {}

    int selectedColumn() const override { return form_.DrawGrid1->selectedPosition() % columnCount(); }
    int selectedRow() const override { return form_.DrawGrid1->selectedPosition() / columnCount(); }
    int columnCount() const override { return std::max(1, form_.DrawGrid1->columnCount()); }
    int rowCount() const override { return form_.DrawGrid1->rowCount(); }
    void selectCell(int column, int row) override { form_.DrawGrid1->selectCell(column, row); }
    int recordCount() const override
    {
        const db::Query &q = form_.catalog().QVListF;
        return q.isOpen() ? q.recordCount() : 0;
    }
    qint64 idAt(int index) const override
    {
        const auto &thumbs = form_.catalog().thumbs();
        return index >= 0 && index < int(thumbs.size()) ? thumbs[std::size_t(index)].id : 0;
    }
    void runGo() override { form_.ActSelectListExecute(); }
    quint8 overlayFlags() const override { return form_.overlayFlags; }
    void setOverlayFlags(quint8 flags) override { form_.overlayFlags = flags; }

private:
    TmainForm &form_;
};

} // namespace

void wireViewer(TmainForm &form)
{
    correctionDialogs() = {imaging::CreateBrightnessDialog, imaging::CreateLevelsDialog, imaging::CreateColorsDialog,
                           imaging::CreateSharpenDialog, imaging::CreateNoiseDialog};
    form.showPhoto = [&form](int position, qint64 id, bool slideShow) {
        MainGridNavigator grid(form);
        TFormImage viewer(form.catalog(), grid, &form);
        viewer.mouseState = -1;
        viewer.listPosition = position;
        viewer.photoId = id;
        if (slideShow)
            viewer.Timer1->start();
        viewer.showModal();
    };
    form.playVideo = [&form](const QString &path) {
        TFormPlayer player(&form);
        player.FileName = path;
        player.exec();
    };
}

} // namespace mv
