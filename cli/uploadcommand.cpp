#include "cli/uploadcommand.h"

#include "cli/commandcontext.h"
#include "cli/exitcodes.h"
#include "cli/slotpicture.h"
#include "control/devicecontroller.h"
#include "images/dithering.h"
#include "images/imageslot.h"
#include "images/picturefile.h"
#include "images/picturefit.h"
#include "images/pictureupload.h"
#include "images/slotquery.h"

namespace {

constexpr int FirstSlot = 1;
constexpr int LastSlot = 10;

// The boot screen's picture is a 240 x 40 strip, whatever the slot query says,
// as in the editor.
const QSize BootStripSize(240, 40);

bool parseSlot(const QString &text, int &slot)
{
    bool ok = false;
    slot = text.toInt(&ok);
    return ok && slot >= FirstSlot && slot <= LastSlot;
}

// Why the picture file was refused, in the tool's own words.
QString refusalText(const PictureFile &file)
{
    switch (file.refusal) {
    case PictureRefusal::None: break;
    case PictureRefusal::Missing: return QStringLiteral("no such file");
    case PictureRefusal::NotAFile: return QStringLiteral("not a regular file");
    case PictureRefusal::CannotOpen: return QStringLiteral("not readable");
    case PictureRefusal::Empty: return QStringLiteral("empty file, no picture in it");
    case PictureRefusal::NotAPicture: return QStringLiteral("not a picture this tool can read (BMP, PNG, JPEG, GIF)");
    case PictureRefusal::TooLarge:
        return QStringLiteral("picture %1×%2 is larger than %3×%3")
            .arg(file.statedSize.width())
            .arg(file.statedSize.height())
            .arg(LargestPictureSide);
    case PictureRefusal::Unreadable: return QStringLiteral("picture cut short or damaged, it cannot be read");
    }
    return QString();
}

} // namespace

int runUpload(CommandContext &context)
{
    const CliOptions &options = context.options;
    int slot = 0;
    if (options.slot.isEmpty())
        return context.fail(ExitUsage, QStringLiteral("upload needs --slot N (1 to 10)"));
    if (!parseSlot(options.slot, slot))
        return context.fail(ExitUsage, QStringLiteral("bad slot '%1': slots are 1 to 10").arg(options.slot));
    PictureFit fit = PictureFit::Stretch;
    if (!parsePictureFit(options.fit, fit))
        return context.fail(ExitUsage, QStringLiteral("bad --fit '%1': stretch, contain or cover").arg(options.fit));
    Dithering dithering = Dithering::None;
    if (!parseDithering(options.dither, dithering))
        return context.fail(ExitUsage,
                            QStringLiteral("bad --dither '%1': none or floyd-steinberg").arg(options.dither));

    // The file is judged before the device is touched.
    const QString path = options.arguments.first();
    const PictureFile file = loadPictureFile(path);
    if (file.refusal != PictureRefusal::None)
        return context.fail(ExitBadInput, QStringLiteral("%1: %2").arg(path, refusalText(file)));
    const QImage &loaded = file.picture;

    int code = ExitSuccess;
    if (!context.openDevice(code, DeviceJob::SlotQuery))
        return code;
    // The slot query leaves the device open for the transfer, as for the editor.
    const JobOutcome asked = context.device.run([slot](DeviceController &c) { return c.startSlotQuery(slot); });
    if (asked.interrupted)
        return context.interrupted(QStringLiteral("nothing was sent"));
    const SlotQueryResult slotAnswer = asked.result.value<SlotQueryResult>();
    const std::optional<SlotGeometry> &geometry = slotAnswer.geometry;
    const bool answered = slotAnswer.answered;
    if (!geometry)
        return context.fail(ExitDeviceError,
                            QStringLiteral("slot %1: the device reported an unusable size%2").arg(slot).arg(context.lastDeviceLine()));
    if (!answered)
        return context.fail(ExitDeviceError, QStringLiteral("slot %1: the device did not answer the slot query; "
                                                            "nothing was sent").arg(slot));

    const bool colour = geometry->screenType == ColourScreenType;
    const QSize size = slot == BootScreenSlot ? BootStripSize : QSize(geometry->imageWidth, geometry->imageHeight);
    // The editor's first colour scheme: black on white, so transparent parts
    // and the bands of "contain" come out white, as they do from the editor.
    QImage picture = fitPicture(asPixmapPicture(loaded), size, fit, Qt::white);
    if (!colour)
        picture = ditherForOneBit(picture, dithering);
    else if (dithering != Dithering::None)
        context.remark(QStringLiteral("slot %1 is a colour screen: --dither has no effect").arg(slot));
    picture = throughBmpFile(picture);

    const PictureTarget target{slot, geometry->imageWidth, geometry->imageHeight, geometry->screenType};
    const JobOutcome sent = context.device.run(
        [&](DeviceController &c) { return c.startPictureUpload(target, picture); });
    if (sent.interrupted)
        return context.interrupted(QStringLiteral("the picture transfer stopped part way, without its end report"));
    switch (sent.result.value<UploadResult>()) {
    case UploadResult::Sent:
        break;
    case UploadResult::NotAcknowledged:
        return context.fail(ExitDeviceError,
                            QStringLiteral("the device did not acknowledge the picture transfer; nothing more was sent"));
    case UploadResult::Failed:
    case UploadResult::Stopped:
        return context.fail(ExitDeviceError, QStringLiteral("the picture transfer failed: a report did not reach the "
                                                            "device%1").arg(context.lastDeviceLine()));
    }
    const QString what = colour && slot == BootScreenSlot ? QStringLiteral("boot animation")
                                                           : colour ? QStringLiteral("colour picture")
                                                                    : QStringLiteral("one-bit picture");
    context.report(QStringLiteral("slot %1: %2 sent (%3×%4)")
                       .arg(slot)
                       .arg(what)
                       .arg(geometry->imageWidth)
                       .arg(geometry->imageHeight));
    return ExitSuccess;
}
