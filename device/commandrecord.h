#pragma once

#include <QtGlobal>

// One command as sendCommand fills it and writeReport serialises it.
// payloadSize bounds every copy out of payload, whatever length declares.
struct CommandRecord
{
    quint8 code = 0;
    qint8 length = 0;
    const quint8 *payload = nullptr;
    int payloadSize = 0;
};
