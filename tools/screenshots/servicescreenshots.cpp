// Saves a picture of each service-mode page of the window, running against
// the emulated device: docs/service-<page>.png, or docs/en/… in English.
//   servicescreenshots OUTPUT_FOLDER [en]

#include "app/mainwindow.h"
#include "desktop/language.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QTest>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool english = argc > 2 && QLatin1String(argv[2]) == QLatin1String("en");
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const QDir out(english ? folder + QStringLiteral("/en") : folder);
    if (english)
        installLanguage(Language::English);
    QDir().mkpath(out.path());
    MainWindow window;
    window.show();
    QTest::qWait(200);
    // The default start, for comparison.
    if (!window.grab().save(out.filePath(QStringLiteral("default-start.png"))))
        return 1;
    window.setServiceMode(true);
    QTest::qWait(100);
    const struct
    {
        const char *button;
        const char *file;
    } pages[] = {
        {"serviceDevicesButton", "service-devices.png"},
        {"serviceFirmwareButton", "service-firmware.png"},
        {"serviceSettingsButton", "service-settings.png"},
        {"serviceSlotsButton", "service-slots.png"},
    };
    for (const auto &page : pages) {
        window.findChild<QAbstractButton *>(QLatin1String(page.button))->click();
        QTest::qWait(100);
        const QString path = out.filePath(QLatin1String(page.file));
        if (!window.grab().save(path))
            return 1;
        qInfo("%s", qPrintable(path));
    }
    return 0;
}
