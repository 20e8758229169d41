#include "engine/EndSteps.h"

#include "engine/DownloadItem.h"
#include "engine/EngineOptions.h"
#include "engine/EngineTexts.h"
#include "platform/SoundPlayer.h"

EndNotice RunEndSteps(const DownloadItem &item, const EngineOptions &options, SoundPlayer &sounds)
{
    const bool webPage = IsWebPageType(item.Type);
    if (options.soundOn) {
        if (webPage)
            PlaySound(SoundNumber::WebPage, sounds);
        if (item.State == Failed)
            PlaySound(SoundNumber::ItemFailed, sounds);
    }
    return {EngineText::kFinishedPrefix + item.Name, options.autoLogin && webPage};
}
