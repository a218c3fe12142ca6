#pragma once
// The import dialog: the source (files or another PhotoBase file), the
// chosen files, where they are stored (PhotoBase file, album, theme), and the
// Import button that runs the pipeline.

#include "catalog/picker.h"
#include "import/import_pipeline.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace mv {

// What the dialog needs of the main window, which it must not know.
struct ImportHooks {
    std::function<void(const QString &text)> status; // first status panel, repainted
    std::function<void()> repaintMain;
    std::function<void()> selectList; // the catalogue query (Go!)
};

class TFormImport : public QDialog {
    Q_OBJECT
public:
    TFormImport(Catalog &catalog, ImportHooks hooks, QWidget *parent = nullptr);

    void FormActivate();
    void RBFileClick();
    void RBMediaClick();
    void Button1Click();
    void Button4Click();
    void CheckBox1Click();
    void Button2Click();

    const QStringList &chosenFiles() const { return files_; }

    QRadioButton *RBFile, *RBMedia;
    QPushButton *Button1, *Button4, *Button2, *Button3;
    QCheckBox *CheckBox1;
    QLineEdit *Edit1;
    QLabel *Label1;
    CursorPicker *DBLookupComboBox1, *DBLookupComboBox2, *DBLookupComboBox3;
    QProgressBar *ProgressBar1;

protected:
    bool event(QEvent *event) override;

private:
    void chooseSources(const QString &filter);
    void showProgress(int file, int files, int photo, int photos);

    Catalog &catalog_;
    ImportHooks hooks_;
    QStringList files_;
};

} // namespace mv
