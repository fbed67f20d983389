#include "settings/curveexchange.h"

#include "device/devicesession.h"
#include "device/jobsink.h"
#include <QCoreApplication>

std::optional<CurvePointsRow> readCurve(DeviceSession &session, JobSink &sink, int curve)
{
    if (!session.openFor(sink, QCoreApplication::translate("Settings", "设备离线"), false))
        return std::nullopt;
    session.beginExchange();
    ReplyBuffer reply{};
    std::optional<CurvePointsRow> points;
    if (session.ask(curveReadRequest(curve), reply))
        points = decodeCurveReply(reply);
    else if (!sink.log(QCoreApplication::translate("Settings", "读取超时！")))
        return std::nullopt;
    session.close();
    return points;
}

std::array<std::optional<CurvePointsRow>, CurveCount>
readAllCurves(DeviceSession &session, JobSink &sink, const std::function<void(int curve, const CurvePointsRow &points)> &eachCurve)
{
    std::array<std::optional<CurvePointsRow>, CurveCount> curves;
    if (!session.openFor(sink, QCoreApplication::translate("Settings", "设备离线"), false))
        return curves;
    for (int curve = 0; curve < CurveCount; ++curve) {
        session.beginExchange();
        ReplyBuffer reply{};
        if (session.ask(curveReadRequest(curve), reply)) {
            curves[size_t(curve)] = decodeCurveReply(reply);
            if (eachCurve)
                eachCurve(curve, *curves[size_t(curve)]);
        } else if (!sink.log(QCoreApplication::translate("Settings", "读取超时！"))) {
            return curves;
        }
    }
    session.close();
    return curves;
}

bool writeCurve(DeviceSession &session, JobSink &sink, int curve, const CurvePointsRow &points)
{
    if (!session.openFor(sink, QCoreApplication::translate("Settings", "设备离线"), false))
        return false;
    session.beginExchange();
    const bool written = session.send(curveWriteRequest(curve, points)) == ReportOk;
    if (!written && !sink.log(QCoreApplication::translate("Settings", "发送曲线失败：设备未收到数据")))
        return false;
    session.close();
    return written;
}
