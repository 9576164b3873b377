// The display colour: red in bits 0-7, green in bits 8-15, blue in bits
// 16-23, bits 24-31 clear.
#pragma once

#include <QColor>

quint32 PackRGB(quint8 red, quint8 green, quint8 blue);
QColor DisplayColor(quint32 packed);

// The background of the main window, its panels and the notice dialog.
inline quint32 WindowColour()
{
    return PackRGB(0, 106, 179);
}
