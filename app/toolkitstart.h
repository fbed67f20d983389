#pragma once
// The window toolkit's start without a display: Qt gives up with several lines
// about platform plugins and aborts. While the toolkit starts, its messages
// are held back; should it give up, the program says in one line that there
// is no display and ends with status 1 instead.

// Before the QApplication is made. program names the program in the line.
void watchToolkitStart(const char *program);

// Once it is made: the messages held back are given out as usual.
void toolkitStarted();
