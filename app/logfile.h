#pragma once
// The log on disk: every line of the log pane, kept across runs for a service
// bench that runs all day. The file is rotated at 5 MB, five files kept
// (name, name.1 … name.4), each starting with a line naming the program, the
// libraries, the system and the start time. A file that cannot be written, or
// cannot be moved aside when it is full, is reported once and then left
// alone: it never disturbs a device action, and never grows past its cap.

#include <QFile>
#include <QString>

#include <functional>

class LogFile
{
public:
    static constexpr qint64 RotateBytes = qint64(5) * 1024 * 1024;
    static constexpr int KeptFiles = 5;

    // report gets the one line saying the file was switched off.
    LogFile(const QString &path, std::function<void(const QString &)> report);

    bool isOn() const { return on; }
    QString path() const { return filePath; }

    // Lines as the pane shows them, each ending in '\n'.
    void write(const QString &lines);

    // "<per-user data folder>/logs/tessel-control.log".
    static QString defaultPath();

private:
    bool open();
    // Moves the full file aside as name.1 (and the older ones one further);
    // what stood in the way when it could not, empty when done.
    QString rotate();
    QString numbered(int generation) const;
    void fail(const QString &line);

    QString filePath;
    QFile file;
    std::function<void(const QString &)> report;
    bool on = true;
};
