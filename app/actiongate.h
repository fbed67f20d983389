#pragma once
// Holds the window's device-action buttons disabled while their action cannot
// run (the device busy with another job, or stuck), with a tool tip that says
// why, and gives each back the state its page wants once the device is free.
//
// Pages keep enabling and disabling their buttons as before (a firmware file
// chosen, a slot number typed); the gate notes what they asked for while it
// holds a button, and applies it when it lets go.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <vector>

class ActionGate : public QObject
{
public:
    explicit ActionGate(QObject *parent = nullptr) : QObject(parent) {}

    void add(QWidget *button);
    // why empty: every button as its page wants it.
    void hold(const QString &why);
    bool isHolding() const { return !reason.isEmpty(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Entry
    {
        QPointer<QWidget> button;
        bool wanted = true;  // what the page last asked for
        QString toolTip;     // the page's own tool tip, while held
    };
    void apply(Entry &entry);

    std::vector<Entry> entries;
    QString reason;
    bool applying = false;
};
