#pragma once
// Reading a small file whole, for the files the user picks to load (profiles,
// curves): only a regular file, and only up to a size limit. A FIFO, a device
// node or a directory is refused before it is opened, so a read never waits
// on a writer; a file above the limit is refused by its size before a byte of
// it is read.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

enum class SmallFileStatus {
    Read,         // bytes hold the whole file
    Missing,      // nothing at the path
    NotRegular,   // a directory, FIFO, socket or device node
    TooLarge,     // above the limit, on disk or while being read
    Unreadable,   // cannot be opened or read
};

struct SmallFileRead
{
    SmallFileStatus status = SmallFileStatus::Unreadable;
    QByteArray bytes;
    bool ok() const { return status == SmallFileStatus::Read; }
};

// Opens the file through QFile, so any path the system can name works.
SmallFileRead readSmallFile(const QString &path, qint64 maxBytes);

// Why the file was not read, e.g. "文件超过 1 MB"; empty when it was.
QString smallFileRefusal(const SmallFileRead &read, const QString &path, qint64 maxBytes);
