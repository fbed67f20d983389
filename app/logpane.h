#pragma once
// The log pane: one time-stamped line per event of the device actions, in the
// window's light grey on its dark background.

#include <QString>

class QTextBrowser;

class LogPane
{
public:
    explicit LogPane(QTextBrowser *view) : view(view) {}

    // "  hh:mm:ss:zzz   -->   text" as a new paragraph; a shown pane follows
    // it and draws it at once.
    void append(const QString &text);

private:
    QTextBrowser *view;
};
