#pragma once
// The picture transfer: a start report, the acknowledgement, data reports and
// an end report (items 0x0C and 0x0D).

#include <QImage>

class DeviceSession;
class JobSink;

// Where the picture goes: the slot and the geometry its query reported.
struct PictureTarget
{
    int slot = 0;
    int width = 0;
    int height = 0;
    int screenType = 0;
};

enum class UploadResult {
    Sent,            // the end report went out; the device is closed
    NotAcknowledged, // a colour screen did not answer the start: nothing more sent, the device stays open
    Failed,          // could not open, or a report was lost ("发送图片失败，传输已中止"; closed)
    Stopped,         // whoever started the upload went away meanwhile
};

// Sends picture to the target: a colour stream for colour screens (the boot
// animation for the boot slot), a one-bit stream otherwise. Logs each step and
// each data report's number; progress goes out as values out of 100 (values
// above 100 occur on tall pictures).
UploadResult uploadPicture(DeviceSession &session, JobSink &sink, const PictureTarget &target,
                           const QImage &picture);
