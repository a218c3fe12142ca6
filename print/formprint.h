#pragma once
// The print dialog: paper, borders, photos per page and the 2:3 conversion;
// a preview of one page at a time with the resolution of each photo; and
// printing every page, each as a print job of its own.

#include "catalog/catalog.h"
#include "print/compose.h"

#include <QDialog>
#include <QPrinter>
#include <functional>
#include <memory>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace mv {

// What the dialog needs of the main window, which it must not know.
struct PrintHooks {
    std::function<void(const QString &text)> status; // first status panel, repainted
};

// The Print command: refuses when nothing is marked, otherwise shows the
// dialog modally, fresh with its defaults.
void ActPrintExecute(Catalog &catalog, const PrintHooks &hooks, QWidget *parent = nullptr);

// Sets the printer's paper to the chosen one and its margins to the outer
// border, so the printable area is the area the page picture covers.
void SetUpPrinter(QPrinter &printer, print::Paper paper, int outer);
// One print job: the page picture stretched over the printable area.
void PrintPagePicture(QPrinter &printer, const Bitmap &page);

class TFormPrint : public QDialog {
    Q_OBJECT
public:
    TFormPrint(Catalog &catalog, PrintHooks hooks, QWidget *parent = nullptr);
    ~TFormPrint() override;

    // Event handlers.
    void Button4Click();      // Preview
    void Button2Click();      // Print
    void SpeedButton1Click(); // previous page
    void SpeedButton2Click(); // next page
    void RadioButton2Click(); // any of "1 ", "2 ", "4 "
    void RbA4Click();
    void RbA6Click();

    // Draws the photos of one page into the page picture.
    void ComposePage(int page);

    // The settings as the controls hold them; throws on a border that is not
    // a whole number or leaves no room.
    print::PageLayout layout() const;

    int pageCount() const { return pageCount_; }
    int currentPage() const { return currentPage_; }
    int markedCount() const { return markedCount_; }
    float previewScale() const { return previewScale_; }
    const print::SlotResolutions &slotResolutions() const { return resolutions_; }
    const Bitmap &pagePicture() const { return page_; }
    // What the preview shows (the preview's size, white around the page).
    const Bitmap &previewPicture() const { return preview_; }
    // The printer the print dialog sets up and the pages go to.
    QPrinter &printer() { return printer_; }

    QGroupBox *GroupBox1, *GroupBox2, *RadioGroup1, *GroupBox3;
    QRadioButton *RbA4, *RbA6, *RBShrink, *RBExpand, *RadioButton1, *RadioButton2, *RadioButton3;
    QLineEdit *Edit1, *Edit2;
    QLabel *Image1, *Label5, *Label6;
    QFrame *Bevel1;
    QToolButton *SpeedButton1, *SpeedButton2;
    QPushButton *Button4, *Button2, *Button3;

protected:
    void done(int result) override;

private:
    void FormCreate();
    void FormClose();
    void status(const QString &text);
    void showPreview();

    Catalog &catalog_;
    PrintHooks hooks_;
    QPrinter printer_;
    Bitmap page_;
    Bitmap preview_;
    int markedCount_ = 0;
    int pageCount_ = 0;
    int currentPage_ = 0;
    float previewScale_ = 1.0f;
    print::SlotResolutions resolutions_{};
};

} // namespace mv
