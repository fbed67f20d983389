#include "editors/editdlg.h"
#include "ui_editdlg.h"

#include "control/devicecontroller.h"
#include "editors/editorpreview.h"
#include "editors/picturetransfer.h"
#include "editors/storedpicturecache.h"
#include "images/editoraccessibility.h"
#include "images/editorchoices.h"
#include "images/imageslot.h"
#include "images/myview.h"
#include "images/picturefile.h"
#include "images/picturefilechooser.h"
#include "images/picturestep.h"
#include "images/toolwindowplace.h"
#include "images/pictureexport.h"
#include "images/undoshortcuts.h"
#include "images/unsavedquestion.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QTransform>

namespace {

// The boot screen's picture is a 240 x 40 strip, whatever the slot query says.
const QSize BootStripSize(240, 40);

const char *const FontFamilies[] = {"Arial", "SimSun", "Songti"};
// The editor's labels are English in both languages, as on the rest of its
// panel; they still go through the translator like the form's own.
const char *const SchemeTexts[] = {QT_TRANSLATE_NOOP("editDlg", "Prospect: Black + Background: White"),
                                   QT_TRANSLATE_NOOP("editDlg", "Prospect: White + Background: Black")};
// In the order of PictureFit and of Dithering.
const char *const FitTexts[] = {QT_TRANSLATE_NOOP("editDlg", "Stretch"), QT_TRANSLATE_NOOP("editDlg", "Contain"),
                                QT_TRANSLATE_NOOP("editDlg", "Cover")};
const char *const DitheringTexts[] = {QT_TRANSLATE_NOOP("editDlg", "Threshold"),
                                      QT_TRANSLATE_NOOP("editDlg", "Floyd–Steinberg")};

QString noPictureText()
{
    return QCoreApplication::translate("Pictures", "没有图片，未发送");
}
QString slotFileNotSavedText()
{
    return QCoreApplication::translate("Pictures", "图片文件无法保存，发送当前显示的图片");
}

// The progress bar shows the upload has begun before anything is sent.
constexpr int UploadStartedProgress = 2;

// The undo history holds at most this much picture (a 240 x 280 step is
// about 270 KB, so some 240 steps).
constexpr qint64 HistoryBytes = 64 * 1024 * 1024;
constexpr int MostSteps = 500;

// The text's size doubles as its weight, on the 0–99 scale of Qt 5's font
// weights. Qt 6 counts weights 100–900 instead: the number is taken to the
// named weight at or above it, which is the face the system's font matching
// gave it on that scale, so the same face is drawn under both.
QFont::Weight weightForSize(int size)
{
    static const struct
    {
        int upTo;
        QFont::Weight weight;
    } steps[] = {{0, QFont::Thin},    {12, QFont::ExtraLight}, {25, QFont::Light},
                 {50, QFont::Normal}, {57, QFont::Medium},     {63, QFont::DemiBold},
                 {75, QFont::Bold},   {81, QFont::ExtraBold}};
    for (const auto &step : steps)
        if (size <= step.upTo)
            return step.weight;
    return QFont::Black;
}

// Text glyphs as a one-bit mask: set where the glyph covers at least half a pixel.
QImage coverageToMono(const QImage &coverage, const QColor &background, const QColor &foreground)
{
    QImage canvas(coverage.size(), QImage::Format_Mono);
    canvas.setColorTable({background.rgba(), foreground.rgba()});
    canvas.fill(0);
    for (int y = 0; y < coverage.height(); ++y) {
        const auto *source = reinterpret_cast<const QRgb *>(coverage.constScanLine(y));
        uchar *target = canvas.scanLine(y);
        for (int x = 0; x < coverage.width(); ++x) {
            if (qGreen(source[x]) >= 128)
                target[x >> 3] |= uchar(0x80 >> (x & 7));
        }
    }
    return canvas;
}

bool samePixels(const QPixmap &a, const QPixmap &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return a.size() == b.size()
        && a.toImage().convertToFormat(QImage::Format_ARGB32) == b.toImage().convertToFormat(QImage::Format_ARGB32);
}

// The first local file of a drag, or an empty string.
QString droppedFile(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().isEmpty())
        return QString();
    const QUrl url = data->urls().first();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

} // namespace

editDlg::editDlg(int slotNumber, int imageWidth, int imageHeight, int screenType, DeviceController *controller,
                 QWidget *parent)
    : QDialog(parent),
      ui(new Ui::editDlg),
      controller(controller),
      slotNumber(slotNumber),
      imageWidth(imageWidth),
      imageHeight(imageHeight),
      screenType(screenType)
{
    ui->setupUi(this);

    // The slot file is read like any chosen file: a giant or hostile one is
    // refused, and said so once the editor is built (a missing one is only a
    // slot never uploaded to).
    const PictureFile slotFile = loadPictureFile(slotImagePath(slotNumber));
    workPixmap = QPixmap::fromImage(slotFile.picture);
    stored = new StoredPictureCache([this] { return workPixmap; }, this);
    stored->prepareSoon();

    const QSize pictureSize(imageWidth, imageHeight);
    ui->pushButton->setGeometry((ui->widget->width() - imageWidth) / 2, (ui->widget->height() - imageHeight) / 2,
                                imageWidth, imageHeight);
    ui->pushButton->setIconSize(pictureSize);
    ui->label_4->setText(tr("IMAGE SIZE：") + QString::number(imageWidth) + QLatin1Char('x')
                         + QString::number(imageHeight));
    const QString title = tr("槽 %1 — %2×%3").arg(slotNumber).arg(imageWidth).arg(imageHeight);
    setTitleText(title);
    setWindowTitle(title);

    ui->spinBox->setValue(13);
    for (const char *family : FontFamilies)
        ui->comboBox->addItem(QLatin1String(family));
    for (const char *scheme : SchemeTexts)
        ui->comboBox_2->addItem(tr(scheme));
    applyScheme(0);
    ui->textEdit->setText(QStringLiteral("Welcome"));

    ui->toolButton_4->hide();
    ui->radioButton->hide();
    ui->messageLabel->hide();
    preview = new EditorPreview(PictureTarget{slotNumber, imageWidth, imageHeight, screenType}, this);
    connect(preview, &EditorPreview::pictureShown, this, &editDlg::showDeviceView);
    connect(preview, &EditorPreview::closed, this, [this] { ui->previewToolButton->setChecked(false); });
    transfer = new PictureTransfer(controller, this);
    connect(transfer, &PictureTransfer::progressed, this, &editDlg::progressChanged);
    connect(transfer, &PictureTransfer::ended, this, &editDlg::uploadEnded);
    // The window that owns the controller is going: nothing is said to a
    // window half taken down.
    connect(transfer, &PictureTransfer::abandoned, this, [this] {
        if (deleteAfterUpload)
            deleteLater();
    });
    ui->cancelToolButton->hide();
    setupChoices();

    // A step costs about one picture of the slot's size, or of the slot
    // file's should that be larger.
    const QSize largest = pictureSize.expandedTo(workPixmap.size());
    steps.setUndoLimit(int(qBound(qint64(1), HistoryBytes / qMax(qint64(1), qint64(PictureStep::cost(largest))), qint64(MostSteps))));
    addUndoActions(this, [this] { steps.undo(); }, [this] { steps.redo(); });
    connect(&steps, &QUndoStack::indexChanged, this, [this] { discardChosen = false; });
    setAcceptDrops(true);
    refreshImageButton();
    if (slotFile.refusal != PictureRefusal::None && slotFile.refusal != PictureRefusal::Missing) {
        // The slot's saved picture could not be shown, and why.
        const QString text = tr("槽 %1 的图片文件无法使用：%2").arg(slotNumber).arg(slotFile.problem());
        showMessage(text);
        log(text);
    }
    makeEditorAccessible(this);
}

editDlg::~editDlg()
{
    // A transfer still running for this editor is stopped: nobody is left to
    // hear its end.
    cancelUpload();
    delete ui;
}

void editDlg::setupChoices()
{
    fit = EditorChoices::fit();
    dithering = EditorChoices::dithering();
    invertBits = EditorChoices::invert();
    // Filling the boxes must not write the choices back.
    const QSignalBlocker fitSignals(ui->fitComboBox);
    const QSignalBlocker ditheringSignals(ui->ditheringComboBox);
    const QSignalBlocker invertSignals(ui->invertCheckBox);
    for (const char *text : FitTexts)
        ui->fitComboBox->addItem(tr(text));
    for (const char *text : DitheringTexts)
        ui->ditheringComboBox->addItem(tr(text));
    ui->fitComboBox->setCurrentIndex(int(fit));
    ui->ditheringComboBox->setCurrentIndex(int(dithering));
    ui->invertCheckBox->setChecked(invertBits);
    preview->setConversion(dithering, invertBits);

    // The conversion matters to one-bit screens only, the animation to the
    // boot screen of a colour one.
    const bool oneBit = screenType != ColourScreenType;
    ui->ditheringComboBox->setVisible(oneBit);
    ui->invertCheckBox->setVisible(oneBit);
    ui->playToolButton->setVisible(!oneBit && slotNumber == BootScreenSlot);
}

void editDlg::setPicture(const QPixmap &picture)
{
    steps.clear();
    showPicture(picture);
}

void editDlg::setTitleText(const QString &text)
{
    ui->label->setText(text);
}

void editDlg::done(int result)
{
    if (!mayClose())
        return;
    preview->closeWindow();
    QDialog::done(result);
    // Closed during its transfer: the transfer is stopped, and the editor
    // goes once it has ended.
    cancelUpload();
    if (!deleteWhenClosed)
        return;
    if (transfer->isRunning())
        deleteAfterUpload = true;
    else
        deleteLater();
}

void editDlg::refreshImageButton()
{
    if (ui->previewToolButton->isChecked()) {
        const QImage view = deviceView();
        preview->showStill(view);
        showDeviceView(view);
        return;
    }
    ui->pushButton->setIcon(QIcon(workPixmap));
}

void editDlg::showDeviceView(const QImage &screen)
{
    if (!ui->previewToolButton->isChecked())
        return;
    ui->pushButton->setIcon(screen.isNull() ? QIcon() : QIcon(QPixmap::fromImage(screen)));
}

bool editDlg::log(const QString &text)
{
    // The editor's lines join the device's in the log of whoever shows the
    // controller's activity (the window's log pane).
    if (!controller)
        return false;
    emit controller->logLine(text, false);
    return true;
}

void editDlg::showMessage(const QString &text)
{
    ui->messageLabel->setText(text);
    ui->messageLabel->setVisible(!text.isEmpty());
    if (!text.isEmpty())
        ui->messageLabel->raise();
}

QString editDlg::message() const
{
    return ui->messageLabel->isHidden() ? QString() : ui->messageLabel->text();
}

void editDlg::paintEvent(QPaintEvent *)
{
}

// --- the picture's history

void editDlg::changePicture(const QPixmap &picture, const QString &operation)
{
    // Nothing to undo where nothing changed.
    if (picture.isNull() && workPixmap.isNull())
        return;
    steps.push(new PictureStep(operation, workPixmap, picture, [this](const QPixmap &shown) { showPicture(shown); }));
}

void editDlg::showPicture(const QPixmap &picture)
{
    workPixmap = picture;
    stored->prepareSoon();
    refreshImageButton();
}

bool editDlg::hasUnsavedChanges() const
{
    return !discardChosen && !steps.isClean();
}

bool editDlg::mayClose()
{
    if (!hasUnsavedChanges())
        return true;
    const UnsavedAnswer answer = askAboutUnsavedPicture(this, slotNumber);
    if (answer == UnsavedAnswer::Cancel)
        return false;
    if (answer == UnsavedAnswer::Save)
        return saveToSlotFile();
    discardChosen = true;
    return true;
}

bool editDlg::saveToSlotFile()
{
    QDir().mkpath(imageFolder());
    if (!workPixmap.save(slotImagePath(slotNumber), "bmp", -1)) {
        const QString text = tr("图片无法保存到槽文件");
        showMessage(text);
        log(text);
        return false;
    }
    steps.setClean();
    emit slotPictureSaved(slotNumber);
    return true;
}

// --- title bar

void editDlg::on_toolButton_clicked()
{
    close();
}

// --- picture operations

void editDlg::on_toolButton_2_clicked()
{
    const QString fileName = choosePictureFile(this);
    if (fileName.isNull())
        return;
    addPictureFile(fileName);
}

void editDlg::addPictureFile(const QString &path)
{
    QString problem;
    const QImage loaded = readPictureFile(path, &problem);
    if (loaded.isNull()) {
        // A picture file ADD could not use, and why.
        const QString text = tr("无法使用该图片文件：%1").arg(problem);
        showMessage(text);
        log(text);
        return;
    }
    showMessage(QString());
    sourcePixmap = QPixmap::fromImage(loaded);
    const QSize target = slotNumber == BootScreenSlot ? BootStripSize : QSize(imageWidth, imageHeight);
    changePicture(QPixmap::fromImage(fitPicture(loaded, target, fit, backgroundColour)), QStringLiteral("ADD"));
}

void editDlg::on_toolButton_5_clicked()
{
    changePicture(workPixmap.scaled(imageWidth, imageHeight, Qt::IgnoreAspectRatio, Qt::FastTransformation),
                  QStringLiteral("TRIM"));
}

void editDlg::on_toolButton_6_clicked()
{
    // A quarter turn clockwise on screen; width and height swap.
    changePicture(workPixmap.transformed(QTransform().rotate(90), Qt::SmoothTransformation),
                  QStringLiteral("ROTATE"));
}

void editDlg::on_toolButton_7_clicked()
{
    mirror(true, false);
}

void editDlg::on_toolButton_8_clicked()
{
    mirror(false, true);
}

void editDlg::mirror(bool horizontal, bool vertical)
{
    // In memory: a scratch file in the working directory could fail to be
    // written and take the picture with it.
    if (workPixmap.isNull())
        return;
    changePicture(QPixmap::fromImage(workPixmap.toImage().mirrored(horizontal, vertical)),
                  horizontal ? QStringLiteral("H.FLIP") : QStringLiteral("V.FLIP"));
}

void editDlg::acceptBoardPicture(const QPixmap &picture)
{
    if (samePixels(picture, workPixmap))
        return;
    changePicture(picture, QStringLiteral("drawing board"));
}

void editDlg::on_toolButton_9_clicked()
{
    uploadImage();
}

// --- files in and out

void editDlg::on_toolButton_3_clicked()
{
    const QString path = chooseExportFile(this);
    if (path.isNull())
        return;
    QString problem;
    const QString written = exportPicture(workPixmap.toImage(), path, &problem);
    if (written.isEmpty()) {
        showMessage(problem);
        log(problem);
        return;
    }
    showMessage(QString());
    log(tr("图片已导出：%1").arg(written));
}

void editDlg::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void editDlg::dropEvent(QDropEvent *event)
{
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    addPictureFile(path);
}

// --- text

void editDlg::on_toolButton_10_clicked()
{
    renderText();
}

void editDlg::renderText()
{
    const int n = ui->spinBox->text().toInt();
    QFont font;
    font.setFamily(ui->comboBox->currentText());
    font.setPixelSize(n);
    font.setWeight(weightForSize(n));
    font.setStyle(QFont::StyleNormal);
    font.setUnderline(false);

    // The glyphs are drawn as coverage on a grey canvas and then put on the
    // one-bit canvas with exactly the scheme's two colours: painting straight
    // onto a one-bit picture maps colours to bits by brightness, not by scheme.
    QImage coverage(imageWidth, imageHeight, QImage::Format_RGB32);
    if (coverage.isNull()) {
        // No canvas for an empty picture size.
        changePicture(QPixmap(), QStringLiteral("PREVIEW"));
        return;
    }
    coverage.fill(Qt::black);
    {
        QPainter painter(&coverage);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.setPen(Qt::white);
        painter.setFont(font);
        painter.drawText(coverage.rect(), Qt::AlignLeft, ui->textEdit->toPlainText());
    }
    changePicture(QPixmap::fromImage(coverageToMono(coverage, backgroundColour, foregroundColour)),
                  QStringLiteral("PREVIEW"));
}

// --- colour scheme

void editDlg::on_comboBox_2_currentIndexChanged(int index)
{
    applyScheme(index);
}

void editDlg::applyScheme(int index)
{
    // Index 1 is white on black; anything else, also no selection, black on white.
    const bool whiteOnBlack = index == 1;
    backgroundColour = whiteOnBlack ? QColor(0, 0, 0) : QColor(255, 255, 255);
    foregroundColour = whiteOnBlack ? QColor(255, 255, 255) : QColor(0, 0, 0);
    emit schemeChanged(foregroundColour, backgroundColour);
}

// --- how pictures meet the screen

void editDlg::on_fitComboBox_currentIndexChanged(int index)
{
    if (index < 0)
        return;
    fit = PictureFit(index);
    EditorChoices::setFit(fit);
}

void editDlg::on_ditheringComboBox_currentIndexChanged(int index)
{
    if (index < 0)
        return;
    dithering = Dithering(index);
    EditorChoices::setDithering(dithering);
    preview->setConversion(dithering, invertBits);
    // A new conversion is judged on the device's view.
    ui->previewToolButton->setChecked(true);
    refreshImageButton();
}

void editDlg::on_invertCheckBox_toggled(bool checked)
{
    invertBits = checked;
    EditorChoices::setInvert(checked);
    preview->setConversion(dithering, invertBits);
    ui->previewToolButton->setChecked(true);
    refreshImageButton();
}

// --- the drawing board

void editDlg::on_pushButton_clicked()
{
    openDrawingBoard();
}

void editDlg::openDrawingBoard()
{
    // A slot size the device cannot have would make the board hand back an
    // empty picture, or hold gigabytes for its magnified canvas.
    if (!isUsableSlotSize(imageWidth, imageHeight)) {
        log(tr("图片尺寸无效，无法打开绘画板"));
        return;
    }
    // The board has no parent: it is a window of its own and stays open when
    // the editor closes. Several may be open at once.
    auto *board = new MyView;
    board->setColours(foregroundColour, backgroundColour);
    connect(this, &editDlg::schemeChanged, board, &MyView::setColours);
    connect(board, &MyView::pictureHandedBack, this, &editDlg::acceptBoardPicture);
    connect(board, &MyView::slotSaveAsked, this, [this](const QPixmap &painted, MyView::SaveAnswer *answer) {
        acceptBoardPicture(painted);
        answer->answered = true;
        answer->saved = saveToSlotFile();
    });
    board->setSlot(slotNumber);
    board->setWindowTitle(tr("绘画板"));
    board->setPicture(workPixmap, QSize(imageWidth, imageHeight));
    ToolWindowPlace::showBeside(board, this);
    drawingBoard = board;
}

MyView *editDlg::newestDrawingBoard() const
{
    return drawingBoard;
}

bool editDlg::mayCloseDrawingBoards()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        auto *board = qobject_cast<MyView *>(window);
        if (board && board->isVisible() && !board->mayClose())
            return false;
    }
    return true;
}

void editDlg::dropDrawingBoards()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (qobject_cast<MyView *>(window)) {
            // The board's own close question would ask about its strokes again.
            window->hide();
            window->deleteLater();
        }
    }
}

// --- controls that do nothing

void editDlg::on_toolButton_4_clicked()
{
}

void editDlg::on_pushButton_pressed()
{
}

void editDlg::on_comboBox_2_activated(const QString &)
{
}

// --- DEVICE VIEW and PLAY: the picture as the device's screen will show it

QImage editDlg::deviceView() const
{
    return preview->view(workPixmap.isNull() ? QImage() : pictureAsStored());
}

QVector<QImage> editDlg::bootAnimationView() const
{
    return preview->animation(workPixmap.isNull() ? QImage() : pictureAsStored());
}

DevicePreview *editDlg::devicePreview() const
{
    return preview->window();
}

void editDlg::on_previewToolButton_toggled(bool checked)
{
    if (checked)
        preview->makeWindow();
    // The picture first: it gives the window its size, which decides where it fits.
    refreshImageButton();
    preview->setWindowShown(checked);
}

void editDlg::on_playToolButton_clicked()
{
    if (!ui->previewToolButton->isChecked())
        ui->previewToolButton->setChecked(true);
    preview->play(bootAnimationView());
}

// --- UPLOAD: the picture to the device, and then to the slot file

void editDlg::uploadImage()
{
    if (!controller)
        return;
    // An empty editor must not wipe the slot on the device.
    if (workPixmap.isNull()) {
        log(noPictureText());
        return;
    }
    // The picture as the slot file will give it back, so the device gets the
    // very bytes the file holds, whether or not the file can be written.
    const PictureTarget target{slotNumber, imageWidth, imageHeight, screenType};
    const StoredPicture &asStored = stored->get();
    if (!transfer->start(target, preview->sent(asStored.picture), asStored.bmp))
        return;
    sendingStep = steps.index();
    showTransferRunning(true);
    emit progressChanged(UploadStartedProgress);
}

bool editDlg::isUploading() const
{
    return transfer->isRunning();
}

bool editDlg::cancelUpload()
{
    return transfer->cancel();
}

void editDlg::uploadEnded(bool sent, bool cancelled, bool fileWritten)
{
    showTransferRunning(false);
    if (cancelled) {
        // Stopped part way: the bar goes back, nothing counts as done.
        emit progressChanged(0);
    } else if (!fileWritten) {
        log(slotFileNotSavedText());
    } else {
        // Steps taken while the transfer ran are not in the file.
        if (steps.index() == sendingStep)
            steps.setClean();
        emit slotPictureSaved(slotNumber);
    }
    sendingStep = -1;
    emit uploadFinished(sent, cancelled);
    if (deleteAfterUpload)
        deleteLater();
}

void editDlg::showTransferRunning(bool running)
{
    ui->cancelToolButton->setVisible(running);
}

void editDlg::on_cancelToolButton_clicked()
{
    cancelUpload();
}

void editDlg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && transfer->isRunning()) {
        cancelUpload();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

QImage editDlg::pictureAsStored() const
{
    return stored->get().picture;
}
