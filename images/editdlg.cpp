#include "images/editdlg.h"
#include "ui_editdlg.h"

#include "device/sessionsink.h"
#include "images/imageslot.h"
#include "images/picturefile.h"
#include "images/myview.h"
#include "images/picturefilechooser.h"

#include <QIcon>
#include <QPainter>
#include <QTransform>

namespace {

const QString UnusableBoardSizeText = QStringLiteral("图片尺寸无效，无法打开绘画板");

// The boot screen's picture is a 240 x 40 strip, whatever the slot query says.
const QSize BootStripSize(240, 40);

const char *const FontFamilies[] = {"Arial", "SimSun", "Songti"};
const char *const SchemeTexts[] = {"Prospect: Black + Background: White",
                                   "Prospect: White + Background: Black"};

// A picture file ADD could not use: not a picture, or absurdly large.
const QString UnusablePictureText = QStringLiteral("无法使用该图片文件");

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

} // namespace

editDlg::editDlg(int slotNumber, int imageWidth, int imageHeight, int screenType, DeviceSession *session,
                 QWidget *parent)
    : QDialog(parent),
      ui(new Ui::editDlg),
      session(session),
      slotNumber(slotNumber),
      imageWidth(imageWidth),
      imageHeight(imageHeight),
      screenType(screenType)
{
    ui->setupUi(this);

    const QString path = slotImagePath(slotNumber);
    ui->pushButton->setIcon(QIcon(path));
    workPixmap = QPixmap::fromImage(QImage(path));

    const QSize pictureSize(imageWidth, imageHeight);
    ui->pushButton->setGeometry((ui->widget->width() - imageWidth) / 2, (ui->widget->height() - imageHeight) / 2,
                                imageWidth, imageHeight);
    ui->pushButton->setIconSize(pictureSize);
    ui->label_4->setText(QStringLiteral("IMAGE SIZE：") + QString::number(imageWidth) + QLatin1Char('x')
                         + QString::number(imageHeight));

    ui->spinBox->setValue(13);
    for (const char *family : FontFamilies)
        ui->comboBox->addItem(QLatin1String(family));
    for (const char *scheme : SchemeTexts)
        ui->comboBox_2->addItem(QLatin1String(scheme));
    applyScheme(0);
    ui->textEdit->setText(QStringLiteral("Welcome"));

    ui->toolButton_4->hide();
    ui->radioButton->hide();
}

editDlg::~editDlg()
{
    delete ui;
}

void editDlg::setPicture(const QPixmap &picture)
{
    workPixmap = picture;
    refreshImageButton();
}

void editDlg::setTitleText(const QString &text)
{
    ui->label->setText(text);
}

void editDlg::done(int result)
{
    QDialog::done(result);
    if (!deleteWhenClosed)
        return;
    // The running upload still reads this editor; it deletes it when it ends.
    if (uploading)
        deleteAfterUpload = true;
    else
        deleteLater();
}

void editDlg::refreshImageButton()
{
    ui->pushButton->setIcon(QIcon(workPixmap));
}

bool editDlg::log(const QString &text)
{
    // The log line lets the window handle events; it may have gone meanwhile.
    return SessionSink(session).log(text);
}

void editDlg::paintEvent(QPaintEvent *)
{
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

    QString problem;
    const QImage loaded = readPictureFile(fileName, &problem);
    if (loaded.isNull()) {
        log(UnusablePictureText);
        if (!problem.isEmpty())
            log(problem);
        return;
    }

    sourcePixmap = QPixmap::fromImage(loaded);
    const QSize target = slotNumber == BootScreenSlot ? BootStripSize : QSize(imageWidth, imageHeight);
    workPixmap = sourcePixmap.scaled(target, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    refreshImageButton();
}

void editDlg::on_toolButton_5_clicked()
{
    workPixmap = workPixmap.scaled(imageWidth, imageHeight, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    refreshImageButton();
}

void editDlg::on_toolButton_6_clicked()
{
    // A quarter turn clockwise on screen; width and height swap.
    workPixmap = workPixmap.transformed(QTransform().rotate(90), Qt::SmoothTransformation);
    refreshImageButton();
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
    workPixmap = QPixmap::fromImage(workPixmap.toImage().mirrored(horizontal, vertical));
    refreshImageButton();
}

void editDlg::on_toolButton_9_clicked()
{
    uploadImage();
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
    font.setWeight(n);
    font.setStyle(QFont::StyleNormal);
    font.setUnderline(false);

    // The glyphs are drawn as coverage on a grey canvas and then put on the
    // one-bit canvas with exactly the scheme's two colours: painting straight
    // onto a one-bit picture maps colours to bits by brightness, not by scheme.
    QImage coverage(imageWidth, imageHeight, QImage::Format_RGB32);
    if (coverage.isNull()) {
        // No canvas for an empty picture size.
        setPicture(QPixmap());
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
    workPixmap = QPixmap::fromImage(coverageToMono(coverage, backgroundColour, foregroundColour));
    refreshImageButton();
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
        log(UnusableBoardSizeText);
        return;
    }
    // The board has no parent: it is a window of its own and stays open when
    // the editor closes. Several may be open at once.
    auto *board = new MyView;
    board->setEditor(this);
    board->setWindowTitle(QStringLiteral("绘画板"));
    board->setPicture(workPixmap, QSize(imageWidth, imageHeight));
    board->show();
    drawingBoard = board;
}

MyView *editDlg::newestDrawingBoard() const
{
    return drawingBoard;
}

// --- controls that do nothing

void editDlg::on_toolButton_3_clicked()
{
}

void editDlg::on_toolButton_4_clicked()
{
}

void editDlg::on_pushButton_pressed()
{
}

void editDlg::on_comboBox_2_activated(const QString &)
{
}
