#include "images/editorchoices.h"

#include <QCoreApplication>
#include <QSettings>

namespace {

const char FitKey[] = "editor/fit";
const char DitheringKey[] = "editor/dithering";
const char InvertKey[] = "editor/invert";

// The settings file is ~/.config/Tessel/<program>.conf. A program that named
// its organisation already keeps its own names.
void nameSettings()
{
    if (QCoreApplication::organizationName().isEmpty())
        QCoreApplication::setOrganizationName(QStringLiteral("Tessel"));
}

QVariant value(const char *key)
{
    nameSettings();
    return QSettings().value(QLatin1String(key));
}

void setValue(const char *key, const QVariant &value)
{
    nameSettings();
    QSettings().setValue(QLatin1String(key), value);
}

} // namespace

namespace EditorChoices {

PictureFit fit()
{
    PictureFit chosen = PictureFit::Stretch;
    parsePictureFit(value(FitKey).toString(), chosen);
    return chosen;
}

void setFit(PictureFit fit)
{
    setValue(FitKey, pictureFitName(fit));
}

Dithering dithering()
{
    Dithering chosen = Dithering::None;
    parseDithering(value(DitheringKey).toString(), chosen);
    return chosen;
}

void setDithering(Dithering dithering)
{
    setValue(DitheringKey, ditheringName(dithering));
}

bool invert()
{
    return value(InvertKey).toBool();
}

void setInvert(bool invert)
{
    setValue(InvertKey, invert);
}

} // namespace EditorChoices
