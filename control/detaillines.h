#pragma once
// A run of detail lines (a transfer's line per report) kept as one text and
// where each line ends. The device thread adds a line without allocating a
// string for it, and the window reads the run without touching, and then
// freeing, thousands of strings made on another thread.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>

#include <initializer_list>

class DetailLines
{
public:
    DetailLines() = default;
    DetailLines(std::initializer_list<QString> lines)
    {
        for (const QString &line : lines)
            append(line);
    }

    void append(QStringView line)
    {
        text.append(line.data(), line.size());
        ends.append(text.size());
    }
    int size() const { return ends.size() - first; }
    bool isEmpty() const { return size() == 0; }
    QStringView at(int i) const
    {
        const int from = first + i == 0 ? 0 : ends[first + i - 1];
        return QStringView(text).mid(from, ends[first + i] - from);
    }
    // The oldest line, taken out of the run.
    QString takeFirst()
    {
        QString line = at(0).toString();
        ++first;
        return line;
    }
    QStringList toList() const
    {
        QStringList lines;
        for (int i = 0; i < size(); ++i)
            lines << at(i).toString();
        return lines;
    }

private:
    QString text;
    QVector<int> ends;   // where each line ends in text
    int first = 0;       // lines before it have been taken
};
