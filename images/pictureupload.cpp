#include "images/pictureupload.h"

#include "device/devicesession.h"
#include "device/jobsink.h"
#include "images/imagereportsink.h"
#include "images/imageslot.h"
#include "images/imagestream.h"

#include <functional>
#include <QCoreApplication>

namespace {

QString transferStartText()
{
    return QCoreApplication::translate("Pictures", "发送图片--开始");
}
QString transferEndText()
{
    return QCoreApplication::translate("Pictures", "发送图片--结束");
}
QString transferFailedText()
{
    return QCoreApplication::translate("Pictures", "发送图片失败，传输已中止");
}

// Progress out of 100: a colour transfer shows 2 once it starts and 100 once
// its end report went out; the encoders report the steps between.
constexpr int StartedProgress = 2;
constexpr int DoneProgress = 100;

enum class Opening { Acknowledged, Unacknowledged, Failed, Stopped };

// A data report's number as its log line, in decimal. Written digit by digit:
// QString::number goes through the locale's number formatting, dear for a
// line logged with every report.
QString reportNumberText(int counter)
{
    if (counter < 0)
        return QString::number(counter);
    QChar digits[10];
    int at = 10;
    do {
        digits[--at] = QLatin1Char(char('0' + counter % 10));
        counter /= 10;
    } while (counter > 0);
    return QString(digits + at, 10 - at);
}

// Data and end reports go out through the session; each data report is logged
// with its number first.
class SessionReportSink : public ImageReportSink
{
public:
    SessionReportSink(DeviceSession &session, JobSink &sink) : session(session), sink(sink) {}

    bool dataReport(int counter, const ApplicationBlock &block) override
    {
        if (!sink.logDetail(reportNumberText(counter))) {
            stopped = true;
            return false;
        }
        return send(block);
    }

    bool endReport(const ApplicationBlock &block) override { return send(block); }

    void progress(int value) override { sink.progress(value, DoneProgress); }

    bool writeFailed = false;
    bool stopped = false;

private:
    bool send(const ApplicationBlock &block)
    {
        writeFailed = session.send(block) != ReportOk;
        return !writeFailed;
    }

    DeviceSession &session;
    JobSink &sink;
};

class Upload
{
public:
    Upload(DeviceSession &session, JobSink &sink, const PictureTarget &target)
        : session(session), sink(sink), target(target)
    {
    }

    using Stream = std::function<bool(ApplicationBlock &block, ImageReportSink &reports)>;

    // Colour screens: nothing more is sent without the device's go-ahead.
    UploadResult colour(quint8 item, const Stream &stream)
    {
        sink.progress(StartedProgress, DoneProgress);
        ApplicationBlock block = imageStartBlock(item, target.slot, target.width, target.height);
        switch (openTransfer(block)) {
        case Opening::Acknowledged: break;
        case Opening::Unacknowledged: return UploadResult::NotAcknowledged;
        case Opening::Failed: return UploadResult::Failed;
        case Opening::Stopped: return UploadResult::Stopped;
        }
        const UploadResult result = run(block, stream);
        if (result == UploadResult::Sent)
            sink.progress(DoneProgress, DoneProgress);
        return result;
    }

    // A one-bit screen takes the picture even when it did not acknowledge.
    UploadResult mono(const QImage &picture)
    {
        ApplicationBlock block = imageStartBlock(Protocol::ItemMonoImage, target.slot, target.width, target.height);
        switch (openTransfer(block)) {
        case Opening::Acknowledged:
        case Opening::Unacknowledged: break;
        case Opening::Failed: return UploadResult::Failed;
        case Opening::Stopped: return UploadResult::Stopped;
        }
        return run(block, [&](ApplicationBlock &b, ImageReportSink &reports) {
            return streamMonoPicture(b, picture, reports);
        });
    }

private:
    Opening openTransfer(const ApplicationBlock &start)
    {
        if (!session.openFor(sink, QCoreApplication::translate("Pictures", "设备离线"), false))
            return Opening::Failed;
        session.beginExchange();
        if (!sink.log(transferStartText()))
            return Opening::Stopped;
        if (session.send(start) != ReportOk)
            return fail() ? Opening::Failed : Opening::Stopped;
        // The acknowledgement's content means nothing to the tool; that it came does.
        ReplyBuffer reply{};
        const bool acknowledged = session.read(reply, Protocol::ImageAckTimeoutMs);
        if (!sink.log(acknowledged ? QCoreApplication::translate("Pictures", "已收到回复") : QCoreApplication::translate("Pictures", "读取超时！")))
            return Opening::Stopped;
        return acknowledged ? Opening::Acknowledged : Opening::Unacknowledged;
    }

    UploadResult run(ApplicationBlock &block, const Stream &stream)
    {
        SessionReportSink reports(session, sink);
        if (!stream(block, reports)) {
            if (reports.stopped || !reports.writeFailed)
                return UploadResult::Stopped;
            return fail() ? UploadResult::Failed : UploadResult::Stopped;
        }
        if (!sink.log(transferEndText()))
            return UploadResult::Stopped;
        session.close();
        return UploadResult::Sent;
    }

    // Nothing more may follow a lost report; the handle is given up, so the
    // next action opens the device afresh.
    bool fail()
    {
        if (!sink.log(transferFailedText()))
            return false;
        session.close();
        return true;
    }

    DeviceSession &session;
    JobSink &sink;
    const PictureTarget target;
};

} // namespace

namespace {

UploadResult send(DeviceSession &session, JobSink &sink, const PictureTarget &target, const QImage &picture)
{
    Upload upload(session, sink, target);
    if (target.screenType != ColourScreenType)
        return upload.mono(picture);
    if (target.slot == BootScreenSlot) {
        // The slot's start report, then 25 generated frames of the boot strip.
        return upload.colour(Protocol::ItemMonoImage, [&](ApplicationBlock &block, ImageReportSink &reports) {
            return streamBootAnimation(block, picture, reports);
        });
    }
    return upload.colour(Protocol::ItemColourImage, [&](ApplicationBlock &block, ImageReportSink &reports) {
        return streamColourPicture(block, picture, target.width, target.height, reports);
    });
}

} // namespace

UploadResult uploadPicture(DeviceSession &session, JobSink &sink, const PictureTarget &target,
                           const QImage &picture)
{
    if (!isUsableSlotSize(target.width, target.height)) {
        sink.log(unusableSlotSizeText(target.width, target.height));
        return UploadResult::Failed;
    }
    const UploadResult result = send(session, sink, target, picture);
    // A transfer that did not go through never leaves the bar looking finished
    // (the boot animation's last frame starts at 100).
    if (result == UploadResult::Failed || result == UploadResult::NotAcknowledged)
        sink.progress(0, DoneProgress);
    return result;
}
