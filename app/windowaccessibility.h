#pragma once
// The main window for keyboards and screen readers: names and descriptions of
// its controls (the forms call them toolButton_5 and show pictures for
// words), Tab in reading order through every page, the working-mode table's
// numbers stepped with the arrow keys, texts that fit or elide with a tool tip,
// and a title strip menu that can be read.

class QWidget;

// Called once from the window's constructor.
void makeWindowAccessible(QWidget *window);

// The status icon says in words what its picture shows.
void describeDeviceStatus(QWidget *statusButton, bool online);
