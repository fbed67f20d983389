#pragma once
// The image editor for keyboards and screen readers: names for its picture,
// its close button and its boxes, Tab in reading order with a focus frame.

class QWidget;

// Called once from the editor's constructor.
void makeEditorAccessible(QWidget *editor);
