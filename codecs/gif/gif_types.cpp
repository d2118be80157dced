#include "codecs/gif/gif_types.h"

namespace pc::gif {

const char* GIFVersionText(TGIFVersion v)
{
    switch (v) {
    case TGIFVersion::gv87a: return "87a";
    case TGIFVersion::gv89a: return "89a";
    default: return "";
    }
}

} // namespace pc::gif
