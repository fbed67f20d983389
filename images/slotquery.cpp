#include "images/slotquery.h"

#include "device/devicesession.h"
#include "device/jobsink.h"
#include <QCoreApplication>

std::optional<SlotGeometry> querySlot(DeviceSession &session, JobSink &sink, int slot, bool *answered)
{
    if (answered)
        *answered = false;
    if (!session.openFor(sink, QCoreApplication::translate("Pictures", "设备离线"), true))
        return std::nullopt;
    session.beginExchange();
    ReplyBuffer reply{};
    SlotGeometry geometry;
    const bool replied = session.ask(slotQueryBlock(slot), reply);
    if (answered)
        *answered = replied;
    if (replied)
        geometry = decodeSlotGeometry(reply);
    else if (!sink.log(QCoreApplication::translate("Pictures", "读取超时！")))
        return std::nullopt;
    if (!isUsableSlotSize(geometry.imageWidth, geometry.imageHeight)) {
        if (sink.log(unusableSlotSizeText(geometry.imageWidth, geometry.imageHeight)))
            session.close();
        return std::nullopt;
    }
    return geometry;
}
