#pragma once

#include <QByteArray>

namespace emu {

// The device's bootloader and the application area of its flash. It answers
// nothing: it takes the probe, then writes each chunk's data after the one
// before (chunks carry no address), and starts the application on the jump.
class Bootloader
{
public:
    enum class Outcome { Stay, StartApplication };

    // What the application area holds when the device leaves the factory.
    static QByteArray factoryImage();
    // The erase command (0x03 with its pattern), which the application takes too.
    static bool isErase(const QByteArray &report);

    // A test convention of this emulator, not a claim about any real device:
    // an image that holds the eight bytes "TSL-VER=" followed by printable
    // text names the version the emulated application reports (item 0x05)
    // once it has been written whole and started by the jump. The text ends
    // at the first unprintable byte and is at most 15 bytes long. Empty when
    // the image holds no such text; the application then keeps its version.
    static QByteArray versionIn(const QByteArray &image);

    Bootloader();

    // The application area emptied; chunks are taken again only after a probe.
    void erase();
    // One output report (64 bytes, report id first) that reached the bootloader.
    Outcome take(const QByteArray &report);

    QByteArray flashImage() const { return m_flash; }
    bool isProbed() const { return m_probed; }

private:
    QByteArray m_flash;
    bool m_probed = false;
};

} // namespace emu
