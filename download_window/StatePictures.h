#pragma once

#include <QPixmap>

// IL_LV3: the small pictures of the four row states, 16 by 16 pixels,
// drawn here so that they scale with nothing and need no files.
// 1 waiting: a grey clock; 2 downloading: a blue arrow down; 3 finished: a
// green tick; 4 failed: a red cross. Any other state gives a null picture.
QPixmap StatePicture(int state);
