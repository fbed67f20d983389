#include "bootloader.h"

#include "deviceprofile.h"

namespace emu {

namespace {

constexpr quint8 CmdBootloaderProbe = 0x00;
constexpr quint8 CmdFirmwareChunk = 0x01;
constexpr quint8 CmdStartApplication = 0x02;
constexpr quint8 CmdErase = 0x03;

// Five filler bytes follow the data of every chunk; the bootloader skips them.
constexpr int chunkFiller = 5;

const QByteArray &bootPattern()
{
    static const QByteArray pattern = QByteArray("1234567890").repeated(6);
    return pattern;
}

// Commands 0x00, 0x02 and 0x03 count only with their 60-digit pattern.
bool carriesBootPattern(const QByteArray &report)
{
    return quint8(report.at(2)) == bootPattern().size()
           && report.mid(ReportHeaderSize, bootPattern().size()) == bootPattern();
}

} // namespace

QByteArray Bootloader::factoryImage()
{
    return QByteArray("VELTRA-MINI factory application ").repeated(32);
}

QByteArray Bootloader::versionIn(const QByteArray &image)
{
    static const QByteArray marker("TSL-VER=");
    const int at = image.indexOf(marker);
    if (at < 0)
        return QByteArray();
    QByteArray version;
    for (int i = at + marker.size(); i < image.size() && version.size() < 15; ++i) {
        const char c = image.at(i);
        if (c < 0x20 || c > 0x7E)
            break;
        version += c;
    }
    return version;
}

bool Bootloader::isErase(const QByteArray &report)
{
    return report.size() >= ReportSize && quint8(report.at(1)) == CmdErase && carriesBootPattern(report);
}

Bootloader::Bootloader()
    : m_flash(factoryImage())
{
}

void Bootloader::erase()
{
    m_flash.clear();
    m_probed = false;
}

Bootloader::Outcome Bootloader::take(const QByteArray &report)
{
    if (report.size() < ReportSize)
        return Outcome::Stay;
    switch (quint8(report.at(1))) {
    case CmdBootloaderProbe:
        if (carriesBootPattern(report))
            m_probed = true;
        break;
    case CmdFirmwareChunk: {
        const int n = qint8(report.at(2)) - chunkFiller;
        // Data and filler must fit the report; anything else is not a chunk.
        if (m_probed && n > 0 && n + chunkFiller <= PayloadBytesOnWire)
            m_flash.append(report.mid(ReportHeaderSize, n));
        break;
    }
    case CmdStartApplication:
        if (carriesBootPattern(report))
            return Outcome::StartApplication;
        break;
    case CmdErase:
        if (carriesBootPattern(report))
            erase();
        break;
    default:
        break;   // refresh and unknown codes change nothing here
    }
    return Outcome::Stay;
}

} // namespace emu
