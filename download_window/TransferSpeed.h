#pragma once

#include "engine/TransferSpeed.h"

#include <QString>

// The status panel's text: the speed while a row is downloading, blank
// otherwise, and the time left ("剩余 0:42") when every downloading row has
// a length.
QString SpeedPanelText(const TransferSpeed &speed, double bytesPerSecond);
