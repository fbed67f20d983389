#pragma once
// The question before a picture with unsaved changes goes: save it to its
// slot file, discard it, or keep the window open. Replaceable, so that an
// automated run answers it without a modal window.

#include <QString>

#include <functional>

class QWidget;

enum class UnsavedAnswer { Save, Discard, Cancel };

// Asks about the picture of slot; Esc and closing the question are Cancel.
UnsavedAnswer askAboutUnsavedPicture(QWidget *parent, int slot);

// Replaces the question (an empty function puts the real one back).
using UnsavedQuestion = std::function<UnsavedAnswer(QWidget *parent, int slot)>;
void setUnsavedQuestion(UnsavedQuestion question);
