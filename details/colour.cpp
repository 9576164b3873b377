#include "details/colour.h"

quint32 PackRGB(quint8 red, quint8 green, quint8 blue)
{
    return quint32(blue) * 65536 + quint32(green) * 256 + red;
}

QColor DisplayColor(quint32 packed)
{
    return QColor(int(packed & 0xFF), int((packed >> 8) & 0xFF), int((packed >> 16) & 0xFF));
}
