// Saves before-and-after pictures of a photo prepared in the image editor,
// running against the emulated device: on a colour slot (stretched as ADD
// always did, then contained, with the device view) and on a one-bit slot
// (the threshold, then Floyd–Steinberg), each beside its device view.
//   picturescreenshots PHOTO OUTPUT_FOLDER

#include "app/dialogpointers.h"
#include "app/mainwindow.h"
#include "emulator/emulateddevice.h"
#include "images/devicepreview.h"
#include "editors/editdlg.h"
#include "images/picturefilechooser.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPainter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A one-bit screen for the pictures: the emulated device has colour slots only.
constexpr int OneBitSlot = 6;

// The editor and, when it is shown, the device view's window beside it.
QImage grabEditor(editDlg *editor)
{
    QTest::qWait(100);
    const QImage left = editor->grab().toImage();
    DevicePreview *preview = editor->devicePreview();
    const QImage right = preview && preview->isVisible() ? preview->grab().toImage() : QImage();
    QImage both(left.width() + (right.isNull() ? 0 : right.width() + 12), qMax(left.height(), right.height()),
                QImage::Format_RGB32);
    both.fill(Qt::white);
    QPainter painter(&both);
    painter.drawImage(0, 0, left);
    if (!right.isNull())
        painter.drawImage(left.width() + 12, 0, right);
    return both;
}

bool shoot(MainWindow &window, int slot, int fit, int dithering, bool deviceView, const QString &path)
{
    window.openSlotEditor(slot, QString());
    // The slot query runs on the device thread; the editor opens when it ends.
    while (window.controller().isBusy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    QCoreApplication::processEvents();
    auto *editor = qobject_cast<editDlg *>(openImageEditor.data());
    if (!editor)
        return false;
    editor->findChild<QComboBox *>(QStringLiteral("fitComboBox"))->setCurrentIndex(fit);
    if (slot == OneBitSlot)
        editor->findChild<QComboBox *>(QStringLiteral("ditheringComboBox"))->setCurrentIndex(dithering);
    editor->findChild<QAbstractButton *>(QStringLiteral("toolButton_2"))->click();
    editor->findChild<QAbstractButton *>(QStringLiteral("previewToolButton"))->setChecked(deviceView);
    const bool saved = grabEditor(editor).save(path);
    editor->setPicture(QPixmap());   // nothing unsaved: goes without a question
    editor->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    qInfo("%s", qPrintable(path));
    return saved;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 3) {
        qWarning("usage: picturescreenshots PHOTO OUTPUT_FOLDER");
        return 2;
    }
    const QString photo = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QDir out(QString::fromLocal8Bit(argv[2]));
    QDir().mkpath(out.path());
    // The choices made here stay out of the user's settings.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    emu::EmulatedDevice::instance().profile().imageSlots.insert(OneBitSlot, {128, 64, 0x00});
    setPictureFileChooser([photo](QWidget *) { return photo; });

    MainWindow window;
    window.show();
    QTest::qWait(200);
    const struct
    {
        int slot, fit, dithering;
        bool deviceView;
        const char *file;
    } shots[] = {
        {4, 0, 0, false, "pictures-colour-before.png"},
        {4, 1, 0, true, "pictures-colour-after.png"},
        {OneBitSlot, 0, 0, true, "pictures-onebit-before.png"},
        {OneBitSlot, 1, 1, true, "pictures-onebit-after.png"},
    };
    for (const auto &shot : shots) {
        if (!shoot(window, shot.slot, shot.fit, shot.dithering, shot.deviceView, out.filePath(QLatin1String(shot.file))))
            return 1;
    }
    return 0;
}
