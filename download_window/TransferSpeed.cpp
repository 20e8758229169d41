#include "download_window/TransferSpeed.h"

#include "engine/EngineTexts.h"

QString SpeedPanelText(const TransferSpeed &speed, double bytesPerSecond)
{
    if (!speed.running())
        return QString();
    QString text = TransferSpeed::text(bytesPerSecond);
    if (speed.secondsLeft() >= 0)
        text +=
            EngineText::kTimeLeftSeparator + EngineText::kTimeLeftPrefix + TransferSpeed::timeText(speed.secondsLeft());
    return text;
}
