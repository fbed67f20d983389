// The language rule: the command line, then the remembered choice, then the
// locale; a machine with no locale starts in the texts' own Chinese. And the
// embedded English translation answering the device jobs, Qt's own texts in
// the chosen language, and the reasons a device cannot be opened in both.

#include "desktop/language.h"
#include "device/deviceinfoquery.h"
#include "device/devicesession.h"
#include "device/openfailure.h"
#include "emulator/emulateddevice.h"
#include "firmware/firmwareimage.h"
#include "jobs/recordingsink.h"

#include <QtTest>

class TestLanguage : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        installLanguage(Language::Chinese);
        installQtLanguage(Language::English);
    }

    void localeRule_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("english");
        QTest::newRow("en_US.UTF-8") << "en_US.UTF-8" << true;
        QTest::newRow("en") << "en" << true;
        QTest::newRow("en_GB@euro") << "en_GB@euro" << true;
        QTest::newRow("EN_us") << "EN_us" << true;
        QTest::newRow("de_DE.UTF-8") << "de_DE.UTF-8" << true;
        QTest::newRow("zh_CN.UTF-8") << "zh_CN.UTF-8" << false;
        QTest::newRow("zh_TW") << "zh_TW" << false;
        QTest::newRow("zh") << "zh" << false;
        QTest::newRow("C") << "C" << false;
        QTest::newRow("C.UTF-8") << "C.UTF-8" << false;
        QTest::newRow("POSIX") << "POSIX" << false;
        QTest::newRow("none") << "" << false;
    }
    void localeRule()
    {
        QFETCH(QString, locale);
        QFETCH(bool, english);
        QCOMPARE(languageForLocale(locale) == Language::English, english);
    }

    void choice_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("english");
        QTest::newRow("locale alone") << "" << "" << "en_US.UTF-8" << true;
        QTest::newRow("--lang zh over an English locale") << "zh" << "" << "en_US.UTF-8" << false;
        QTest::newRow("--lang en over C") << "en" << "" << "C" << true;
        QTest::newRow("--lang EN") << "EN" << "" << "C" << true;
        QTest::newRow("--lang over the remembered") << "zh" << "en" << "C" << false;
        QTest::newRow("remembered over the locale") << "" << "en" << "C" << true;
        QTest::newRow("remembered zh over en locale") << "" << "zh" << "en_US" << false;
        QTest::newRow("unknown --lang ignored") << "fr" << "en" << "C" << true;
        QTest::newRow("unknown remembered ignored") << "" << "klingon" << "C.UTF-8" << false;
    }
    void choice()
    {
        QFETCH(QString, option);
        QFETCH(QString, remembered);
        QFETCH(QString, locale);
        QFETCH(bool, english);
        QCOMPARE(chooseLanguage(option, remembered, locale) == Language::English, english);
    }

    // LC_ALL over LC_MESSAGES over LANG, as for every program's messages.
    void messageLocale_data()
    {
        QTest::addColumn<QStringList>("values"); // LC_ALL, LC_MESSAGES, LANG
        QTest::addColumn<QString>("expected");
        QTest::newRow("all three") << QStringList{"C", "en_US", "zh_CN"} << "C";
        QTest::newRow("messages over LANG") << QStringList{"", "en_US", "zh_CN"} << "en_US";
        QTest::newRow("LANG alone") << QStringList{"", "", "zh_CN"} << "zh_CN";
        QTest::newRow("none") << QStringList{"", "", ""} << "";
    }
    void messageLocale()
    {
        QFETCH(QStringList, values);
        QFETCH(QString, expected);
        const char *names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
        QByteArray saved[3];
        for (int i = 0; i < 3; ++i) {
            saved[i] = qgetenv(names[i]);
            if (values[i].isEmpty())
                qunsetenv(names[i]);
            else
                qputenv(names[i], values[i].toUtf8());
        }
        const QString found = messageLocaleName();
        for (int i = 0; i < 3; ++i)
            saved[i].isNull() ? qunsetenv(names[i]) : qputenv(names[i], saved[i]);
        QCOMPARE(found, expected);
    }

    // A job's lines and a file's reason come out in the installed language,
    // and switching back gives the texts exactly as written.
    void jobsSpeakTheInstalledLanguage_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("offline");
        QTest::addColumn<QString>("missingFile");
        QTest::newRow("English") << true << "Device offline" << "Firmware file not found";
        QTest::newRow("Chinese") << false << "设备离线" << "固件文件不存在";
    }
    void jobsSpeakTheInstalledLanguage()
    {
        QFETCH(bool, english);
        QFETCH(QString, offline);
        QFETCH(QString, missingFile);
        installLanguage(Language::English);
        QVERIFY(installLanguage(english ? Language::English : Language::Chinese));
        QCOMPARE(installedLanguage() == Language::English, english);

        emu::EmulatedDevice::instance().reset();
        emu::EmulatedDevice::instance().setPresent(false);
        DeviceSession session;
        RecordingSink sink;
        DeviceInfo info;
        queryDeviceInformation(session, sink, info);
        QVERIFY2(sink.lines.contains(offline), qPrintable(sink.lines.join('|')));
        QCOMPARE(Firmware::loadFirmwareFile(QStringLiteral("/nonexistent/tessel.bin")).problem, missingFile);
        emu::EmulatedDevice::instance().reset();
    }

    // Qt's buttons, file dialogs and text menus follow the window's language;
    // switching back to English leaves Qt's own words.
    void qtTextsFollowTheLanguage_data()
    {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("chinese");
        QTest::newRow("message box button") << "QPlatformTheme" << "&Yes" << "是(&Y)";
        QTest::newRow("file dialog") << "QFileDialog" << "Look in:" << "查找范围：";
        QTest::newRow("log pane menu") << "QWidgetTextControl" << "Copy &Link Location" << "复制链接地址(&L)";
        QTest::newRow("field menu") << "QLineEdit" << "Select All" << "全选";
    }
    void qtTextsFollowTheLanguage()
    {
        QFETCH(QString, context);
        QFETCH(QString, text);
        QFETCH(QString, chinese);
        const auto qtSays = [&] {
            return QCoreApplication::translate(context.toLatin1().constData(), text.toLatin1().constData());
        };
        QVERIFY2(installQtLanguage(Language::Chinese), qPrintable(qtTranslationsFolder()));
        QCOMPARE(qtSays(), chinese);
        // The program's own language is another matter: its translation stays as it was.
        QCOMPARE(installedLanguage(), Language::Chinese);
        QVERIFY(installQtLanguage(Language::English));
        QCOMPARE(qtSays(), text);
    }

    // The page's explanation in either language; the commands to type stay as
    // they are, whole and on lines of their own.
    void openFailureInEitherLanguage_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<int>("failure");
        QTest::addColumn<QString>("says");
        QTest::newRow("not attached, Chinese") << false << int(OpenFailure::NotAttached) << "未检测到设备";
        QTest::newRow("not attached, English") << true << int(OpenFailure::NotAttached) << "No device detected";
        QTest::newRow("no permission, Chinese") << false << int(OpenFailure::NotAccessible) << "无权限打开";
        QTest::newRow("no permission, English") << true << int(OpenFailure::NotAccessible) << "no permission";
    }
    void openFailureInEitherLanguage()
    {
        QFETCH(bool, english);
        QFETCH(int, failure);
        QFETCH(QString, says);
        QVERIFY(installLanguage(english ? Language::English : Language::Chinese));
        const QString rule = QStringLiteral("/usr/share/tessel-control/70-tessel-control.rules");
        const QString text = openFailureExplanation(OpenFailure(failure), rule);
        QVERIFY2(text.contains(says), qPrintable(text));
        if (OpenFailure(failure) == OpenFailure::NotAccessible) {
            const QStringList lines = text.split('\n');
            QVERIFY2(lines.contains("sudo install -m 644 " + rule + " /etc/udev/rules.d/"), qPrintable(text));
            QVERIFY2(lines.contains("sudo udevadm control --reload-rules && sudo udevadm trigger"), qPrintable(text));
        }
    }
};

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_language.moc"
