#include "import/formimport.h"

#include "platform/ui.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

namespace mv {

namespace {

const QString kPhotoFilter = QStringLiteral("JPeg File (*.jpg)|*.jpg|Video File (*.avi)|*.avi");
const QString kBaseFilter = QStringLiteral("Access base (*.mdb)|*.mdb");

} // namespace

TFormImport::TFormImport(Catalog &catalog, ImportHooks hooks, QWidget *parent)
    : QDialog(parent), catalog_(catalog), hooks_(std::move(hooks))
{
    setObjectName(QStringLiteral("FormImport"));
    setWindowTitle(QStringLiteral("Import File Dialog"));
    setFixedSize(558, 239);

    RBFile = new QRadioButton(QStringLiteral("From File"), this);
    RBFile->setObjectName(QStringLiteral("RBFile"));
    RBFile->setGeometry(16, 12, 130, 22);
    RBFile->setChecked(true);
    RBMedia = new QRadioButton(QStringLiteral("From PhotoBase"), this);
    RBMedia->setObjectName(QStringLiteral("RBMedia"));
    RBMedia->setGeometry(16, 40, 130, 22);

    Button1 = new QPushButton(QStringLiteral("Source File"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(156, 10, 140, 26);
    Button4 = new QPushButton(QStringLiteral("Source PhotoBase "), this);
    Button4->setObjectName(QStringLiteral("Button4"));
    Button4->setGeometry(156, 38, 140, 26);
    Button4->setEnabled(false);

    CheckBox1 = new QCheckBox(QStringLiteral("Add New Index Only"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(320, 40, 220, 22);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(16, 72, 526, 24);
    Edit1->setEnabled(false);

    Label1 = new QLabel(QStringLiteral("Store As:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 104, 100, 18);

    auto picker = [this](db::Query &list, const char *field, const char *name, const QString &caption, int x) {
        auto *label = new QLabel(caption, this);
        label->setGeometry(x, 124, 170, 16);
        auto *p = new CursorPicker(catalog_, list, QString::fromLatin1(field), this);
        p->setObjectName(QString::fromLatin1(name));
        p->setGeometry(x, 142, 170, 24);
        p->showCurrentRow();
        return p;
    };
    DBLookupComboBox1 = picker(catalog_.QVListB, "Label", "DBLookupComboBox1", QStringLiteral("PhotoBase"), 16);
    DBLookupComboBox2 = picker(catalog_.QVListA, "Name", "DBLookupComboBox2", QStringLiteral("Album"), 194);
    DBLookupComboBox3 = picker(catalog_.QVListT, "Name", "DBLookupComboBox3", QStringLiteral("Themes"), 372);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(16, 200, 300, 24);
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(true);
    ProgressBar1->setFormat(QString());

    Button2 = new QPushButton(QStringLiteral("Import"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(336, 198, 100, 28);
    Button2->setEnabled(false);
    Button3 = new QPushButton(QStringLiteral("Exit"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(442, 198, 100, 28);

    connect(RBFile, &QRadioButton::toggled, this, ui::guard([this](bool on) {
        if (on)
            RBFileClick();
    }));
    connect(RBMedia, &QRadioButton::toggled, this, ui::guard([this](bool on) {
        if (on)
            RBMediaClick();
    }));
    connect(CheckBox1, &QCheckBox::toggled, this, ui::guard([this] { CheckBox1Click(); }));
    connect(Button1, &QPushButton::clicked, this, ui::guard([this] { Button1Click(); }));
    connect(Button4, &QPushButton::clicked, this, ui::guard([this] { Button4Click(); }));
    connect(Button2, &QPushButton::clicked, this, ui::guard([this] { Button2Click(); }));
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
}

bool TFormImport::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        ui::guarded([this] { FormActivate(); });
    return QDialog::event(e);
}

void TFormImport::FormActivate()
{
    // Albums may have been edited in another window since the last look.
    if (catalog_.ADOConnection1.isOpen())
        catalog_.reopenList(catalog_.QVListA);
}

void TFormImport::RBFileClick()
{
    Button1->setEnabled(true);
    Button4->setEnabled(false);
}

void TFormImport::RBMediaClick()
{
    Button1->setEnabled(false);
    Button4->setEnabled(true);
}

void TFormImport::CheckBox1Click()
{
    const bool on = !CheckBox1->isChecked();
    DBLookupComboBox1->setEnabled(on);
    DBLookupComboBox2->setEnabled(on);
    DBLookupComboBox3->setEnabled(on);
}

void TFormImport::Button1Click() { chooseSources(kPhotoFilter); }
void TFormImport::Button4Click() { chooseSources(kBaseFilter); }

void TFormImport::chooseSources(const QString &filter)
{
    files_.clear();
    ui::FileRequest request;
    request.mode = ui::FileRequest::Mode::OpenMany;
    request.filter = filter;
    const QStringList chosen = ui::delegate().chooseFiles(request);
    if (chosen.isEmpty())
        return;
    files_ = chosen;
    Edit1->setText(files_.size() == 1 ? files_.front()
                                      : QStringLiteral("Selected ") + QString::number(files_.size()) + QStringLiteral(" files"));
    Button2->setEnabled(true);
}

void TFormImport::showProgress(int file, int files, int photo, int photos)
{
    ProgressBar1->setRange(0, files);
    ProgressBar1->setValue(file);
    if (photos > 0)
        ProgressBar1->setFormat(QStringLiteral("%1 of %2 files, photo %3 of %4").arg(file).arg(files).arg(photo).arg(photos));
    else
        ProgressBar1->setFormat(QStringLiteral("%1 of %2 files").arg(file).arg(files));
    ProgressBar1->repaint();
}

void TFormImport::Button2Click()
{
    const ImportSource source = RBFile->isChecked() ? ImportSource::Files : ImportSource::PhotoBase;
    const db::Query &bases = catalog_.QVListB;
    const QString target = bases.isOpen() && !bases.eof() ? bases.text(QStringLiteral("File")) : QString();
    const QString question = ImportConfirmationText(source, int(files_.size()), target);
    Button2->setEnabled(false);
    if (!files_.isEmpty() && ui::confirm(question)) {
        ImportCallbacks callbacks;
        callbacks.status = hooks_.status;
        callbacks.repaint = hooks_.repaintMain;
        callbacks.progress = [this](int file, int files, int photo, int photos) { showProgress(file, files, photo, photos); };
        ImportPipeline pipeline(catalog_, callbacks);
        const ImportEnd end = pipeline.run(files_, source, CheckBox1->isChecked());
        // After these two refusals the source has to be chosen again.
        if (end == ImportEnd::ReadOnly || end == ImportEnd::Cyclic)
            return;
    }
    if (hooks_.selectList)
        hooks_.selectList();
    Button2->setEnabled(true);
}

} // namespace mv
