#pragma once
// Test-side helpers for the image tests: a scratch working directory and
// pictures whose pixels tell a misplaced byte or a wrong threshold.

#include "app/dialogpointers.h"
#include "control/devicecontroller.h"
#include "device/devicesession.h"
#include "editors/editdlg.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QImage>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <functional>

namespace imagetest {

// The thumbnail buttons of slots 1-10, in slot order.
const char *const ThumbnailButtons[] = {"pushButton_8",  "pushButton_9",  "pushButton_10", "pushButton_11",
                                        "pushButton_12", "pushButton_14", "pushButton_17", "pushButton_16",
                                        "pushButton_15", "pushButton_13"};

// Slot files land in a fresh working directory whose imageformats/ holds only
// the status icons; the editors a test opened are deleted when it ends.
class ScratchDirectory
{
public:
    ScratchDirectory() : programDir(QDir::currentPath()) {}
    void enter()
    {
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path() + "/imageformats");
        for (const char *icon : {"/imageformats/USB_ON.jpg", "/imageformats/USB_OFF.jpg"})
            QFile::copy(programDir + icon, dir.path() + icon);
        QDir::setCurrent(dir.path());
    }
    void leave()
    {
        // Guarded: deleting an editor also deletes the windows it owns (its
        // device view), which are top-level widgets of their own in the list.
        QList<QPointer<QWidget>> editors;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<editDlg *>(w))
                editors << w;
        for (const QPointer<QWidget> &w : editors)
            delete w.data();
        openImageEditor = nullptr;
        QDir::setCurrent(programDir);
    }

private:
    QTemporaryDir dir;
    QString programDir;
};

// The editor's remembered choices live in a settings file of the test's own,
// emptied by each call: never the user's, never another test program's.
inline void scratchSettings()
{
    static QTemporaryDir folder;
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    QCoreApplication::setOrganizationName(QStringLiteral("Tessel"));
    QCoreApplication::setApplicationName(QStringLiteral("Tessel Control tests"));
    QSettings settings;
    settings.clear();
}

// Runs what on the controller's device thread with its session (which holds
// the handle a slot query left open) and waits for it; its answer comes back.
// It runs as a slot query the window did not ask for, which opens no editor.
inline bool onDeviceThread(DeviceController &controller, const std::function<bool(DeviceSession &)> &what)
{
    bool answer = false;
    const bool started = controller.start(DeviceJob::SlotQuery, [what](JobContext &job) {
        return JobResult{true, what(job.session)};
    }, false);
    QObject context;
    QObject::connect(&controller, &DeviceController::finished, &context,
                     [&answer](DeviceJob, bool, const QVariant &result) { answer = result.toBool(); });
    return started && testsupport::waitForDeviceIdle(controller) && answer;
}

// Whether the controller's session holds an open handle.
inline bool holdsHandle(DeviceController &controller)
{
    return onDeviceThread(controller, [](DeviceSession &session) { return session.isOpen(); });
}

// Every pixel different enough to show a misplaced byte.
inline QImage pattern(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb((x * 5) & 0xFF, (y * 3) & 0xFF, (x ^ y) & 0xFF));
    return picture;
}

// Colours around the one-bit screen's threshold (a channel above 128 lights the
// pixel), or with lit set, how the one-bit screen shows them: white where lit.
inline QImage thresholdPattern(int width, int height, bool lit = false)
{
    const QRgb colours[] = {qRgb(129, 0, 0), qRgb(0, 129, 0),     qRgb(0, 0, 129),
                            qRgb(128, 128, 128), qRgb(0, 0, 0), qRgb(255, 255, 255)};
    const bool lights[] = {true, true, true, false, false, true};
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int i = (x * 7 + y * 5) % 6;
            picture.setPixel(x, y, !lit ? colours[i] : lights[i] ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
    return picture;
}

} // namespace imagetest
