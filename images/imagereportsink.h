#pragma once
// Where the picture encoders hand their reports: the device link in the
// editor, a recorder in the tests.

#include "device/reports.h"

class ImageReportSink
{
public:
    virtual ~ImageReportSink() = default;

    // The block is complete as data report number counter (counted from 0).
    // False stops the transfer at once.
    virtual bool dataReport(int counter, const ApplicationBlock &block) = 0;
    // The block is the end report. False when it could not be delivered.
    virtual bool endReport(const ApplicationBlock &block) = 0;
    // Progress of the transfer for the progress bar; values above 100 occur
    // on tall pictures and are meant to be ignored.
    virtual void progress(int value) = 0;
};
