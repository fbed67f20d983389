#include "app/windowreport.h"

#include "app/logpane.h"
#include "app/pages/servicebar.h"
#include "app/windowaccessibility.h"
#include "app/windowlayout.h"
#include "desktop/datafolder.h"
#include "device/deviceactivity.h"

#include <QAbstractButton>
#include <QIcon>

WindowReport::WindowReport(LogPane &log, QAbstractButton &statusIcon, ServiceBar &serviceBar, QWidget &window,
                           QWidget &body)
    : log(log), statusIcon(statusIcon), serviceBar(serviceBar), window(window), body(body)
{
}

void WindowReport::addLogLine(const QString &text)
{
    newest = text;
    log.append(text);
    // A refusal from a dialog comes as a line like any other.
    if (serviceMode && text == deviceBusyText())
        showResult(text);
}

void WindowReport::addLogDetail(const QString &text)
{
    log.append(text, true);
}

void WindowReport::showReachable(bool online)
{
    statusIcon.setIcon(
        QIcon(imageFolder() + (online ? QStringLiteral("/USB_ON.jpg") : QStringLiteral("/USB_OFF.jpg"))));
    describeDeviceStatus(&statusIcon, online);
}

void WindowReport::showResult(const QString &text)
{
    if (serviceMode)
        serviceBar.showStatus(text);
}

QPoint WindowReport::dialogPlace() const
{
    return window.mapToGlobal(body.pos() + WindowLayout::DialogOffset);
}
