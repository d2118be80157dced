#pragma once
// Start-up settings for window tests: an empty scene, software rendering.
#include "app/settings/app_settings.h"

namespace pc::test {

struct EmptySceneSettings : AppSettings {
    int StartMode() const override { return 2; }
    bool SoftwareRender() const override { return true; }
    int PixelsFormat() const override { return 0; }
};

} // namespace pc::test
