#include "codecs/gif/gif_errors.h"

namespace pc::gif {

void RaiseGIFError(const std::string& message)
{
    throw GIFException(message);
}

} // namespace pc::gif
