#pragma once
// The image editor's choices that outlive it: how ADD fits a picture to the
// slot, and how a one-bit screen gets it. Kept in the program's settings
// file; an unknown or missing value reads as the choice the tool always made
// (stretch, threshold, not inverted).

#include "images/dithering.h"
#include "images/picturefit.h"

namespace EditorChoices {

PictureFit fit();
void setFit(PictureFit fit);

Dithering dithering();
void setDithering(Dithering dithering);

bool invert();
void setInvert(bool invert);

} // namespace EditorChoices
