// Keys as the window's handlers see them.
#pragma once

#include <Qt>

// Enter arrives as either of the two Qt return keys (virtual key 13).
inline bool IsEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}
