#include "cli/devicecommands.h"

#include "cli/commandcontext.h"
#include "cli/deviceaccess.h"
#include "cli/exitcodes.h"
#include "control/devicecontroller.h"
#include "device/deviceinfoquery.h"
#include "device/devicesession.h"
#include "images/imageslot.h"
#include "images/slotquery.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr int FirstSlot = 1;
constexpr int LastSlot = 10;

QJsonValue orNull(const std::optional<QString> &text)
{
    return text ? QJsonValue(*text) : QJsonValue(QJsonValue::Null);
}

QString json(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented));
}

QJsonObject range(int low, int high)
{
    return QJsonObject{{QStringLiteral("low"), low}, {QStringLiteral("high"), high}};
}

QString screenName(int screenType)
{
    return screenType == ColourScreenType ? QStringLiteral("colour") : QStringLiteral("one-bit");
}

// The items of the device query that stayed unanswered, by name.
QString missingItems(int items)
{
    QStringList missing;
    const std::pair<int, const char *> names[] = {{InfoName, "name (0x04)"},
                                                  {InfoFirmwareVersion, "firmware version (0x05)"},
                                                  {InfoScreenAndRanges, "screen and ranges (0x06)"},
                                                  {InfoIdentification, "identification (0x07)"}};
    for (const auto &name : names) {
        if (!(items & name.first))
            missing << QLatin1String(name.second);
    }
    return missing.join(QStringLiteral(", "));
}

constexpr int AllInfoItems = InfoName | InfoFirmwareVersion | InfoScreenAndRanges | InfoIdentification;

} // namespace

int runList(CommandContext &context)
{
    const QVector<AttachedDevice> devices = attachedDevices();
    if (context.options.json) {
        QJsonArray entries;
        for (const AttachedDevice &device : devices)
            entries.append(QJsonObject{{QStringLiteral("path"), QString::fromLocal8Bit(device.path)},
                                       {QStringLiteral("serial"), orNull(device.serial)},
                                       {QStringLiteral("product"), orNull(device.product)}});
        context.print(json(QJsonObject{{QStringLiteral("devices"), entries}}));
        return ExitSuccess;
    }
    if (devices.isEmpty())
        context.remark(QStringLiteral("no device attached (USB 0483:5750)"));
    for (const AttachedDevice &device : devices)
        context.print(QStringLiteral("%1\tserial %2\t%3\n")
                          .arg(QString::fromLocal8Bit(device.path), device.serial.value_or(QStringLiteral("-")),
                               device.product.value_or(QStringLiteral("-"))));
    return ExitSuccess;
}

int runInfo(CommandContext &context)
{
    int code = ExitSuccess;
    if (!context.openDevice(code, DeviceJob::DeviceQuery))
        return code;
    const JobOutcome asked = context.device.run([](DeviceController &c) { return c.startDeviceQuery(); });
    if (asked.interrupted)
        return context.interrupted(QStringLiteral("the device was not asked for everything"));
    const DeviceQueryResult answer = asked.result.value<DeviceQueryResult>();
    const DeviceQuery &query = answer.query;
    const DeviceInfo &info = answer.info;
    if (query.items != AllInfoItems)
        return context.fail(ExitDeviceError, QStringLiteral("the device did not answer: %1").arg(missingItems(query.items)));

    const ScreenAndRanges &screen = info.screen;
    if (context.options.json) {
        context.print(json(QJsonObject{
            {QStringLiteral("name"), info.name},
            {QStringLiteral("firmware"), info.firmwareVersion},
            {QStringLiteral("screen"), screen.screenSize.trimmed()},
            {QStringLiteral("power"), range(screen.powerLow, screen.powerHigh)},
            {QStringLiteral("celsius"), range(screen.celsiusLow, screen.celsiusHigh)},
            {QStringLiteral("fahrenheit"), range(screen.fahrenheitLow, screen.fahrenheitHigh)},
            {QStringLiteral("temperatureControl"), screen.supported},
            {QStringLiteral("identification"), info.identification},
        }));
        return ExitSuccess;
    }
    const auto line = [](const char *label, const QString &value) {
        return QString::fromLatin1(label).leftJustified(22) + value + QLatin1Char('\n');
    };
    context.print(line("Name:", info.name) + line("Firmware:", info.firmwareVersion)
                  + line("Screen:", screenSizeText(screen)) + line("Wattage range:", powerRangeText(screen))
                  + line("Temperature ranges:", temperatureRangeText(screen))
                  + line("Temperature control:", screen.supported ? QStringLiteral("supported")
                                                                  : QStringLiteral("not supported"))
                  + line("ID:", info.identification));
    return ExitSuccess;
}

int runSlots(CommandContext &context)
{
    int code = ExitSuccess;
    if (!context.openDevice(code, DeviceJob::SlotQuery))
        return code;
    QJsonArray entries;
    QString table = QStringLiteral("slot  size       screen\n");
    // Each query leaves the device open for the next, as for an upload.
    for (int slot = FirstSlot; slot <= LastSlot; ++slot) {
        const JobOutcome asked = context.device.run(DeviceJob::SlotQuery, [slot](JobContext &job) {
            if (!job.session.open())
                return JobResult{false, QVariant()};
            SlotQueryResult result;
            result.geometry = querySlot(job.session, job.sink, slot, &result.answered);
            return JobResult{true, QVariant::fromValue(result)};
        }, true);
        if (asked.interrupted)
            return context.interrupted(QStringLiteral("slots %1 to %2 were not asked for").arg(slot).arg(LastSlot));
        if (!asked.success)
            return context.fail(ExitDeviceError, QStringLiteral("the device went away before slot %1").arg(slot));
        const SlotQueryResult result = asked.result.value<SlotQueryResult>();
        const std::optional<SlotGeometry> &geometry = result.geometry;
        const bool answered = result.answered;
        if (!geometry)
            return context.fail(ExitDeviceError, QStringLiteral("slot %1: the device reported an unusable size%2")
                                                     .arg(slot)
                                                     .arg(context.lastDeviceLine()));
        if (!answered)
            return context.fail(ExitDeviceError,
                                QStringLiteral("slot %1: the device did not answer the slot query").arg(slot));
        entries.append(QJsonObject{{QStringLiteral("slot"), slot},
                                   {QStringLiteral("width"), geometry->imageWidth},
                                   {QStringLiteral("height"), geometry->imageHeight},
                                   {QStringLiteral("screen"), screenName(geometry->screenType)},
                                   {QStringLiteral("screenType"), geometry->screenType}});
        table += QStringLiteral("%1  %2  %3\n")
                     .arg(slot, 4)
                     .arg(QStringLiteral("%1×%2").arg(geometry->imageWidth).arg(geometry->imageHeight), -9)
                     .arg(screenName(geometry->screenType));
    }
    context.device.run(DeviceJob::SlotQuery, [](JobContext &job) {
        job.session.close();
        return JobResult{true, QVariant()};
    }, false);
    context.print(context.options.json ? json(QJsonObject{{QStringLiteral("slots"), entries}}) : table);
    return ExitSuccess;
}
