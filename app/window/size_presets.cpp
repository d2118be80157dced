#include "app/window/size_presets.h"

#include "scene/pages/value_typing.h"

namespace pc {

PresetSize ParsePreset(std::string caption)
{
    if (size_t amp = caption.find('&'); amp != std::string::npos)
        caption.erase(amp, 1);
    PresetSize size;
    size_t p = caption.find(" X ");
    if (p == std::string::npos)
        return size;
    size.width = ParseDecimal(caption.substr(0, p)).value_or(200);
    size.height = ParseDecimal(caption.substr(p + 3)).value_or(200);
    return size;
}

} // namespace pc
