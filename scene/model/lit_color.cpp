#include "scene/model/lit_color.h"

#include <GL/gl.h>

namespace pc {

void SetLitColor(float r, float g, float b, float a) {
  glColor4f(r, g, b, a);
  // Turning tracking on copies the current colour into the material.
  if (glIsEnabled(GL_COLOR_MATERIAL)) {
    glDisable(GL_COLOR_MATERIAL);
    glEnable(GL_COLOR_MATERIAL);
  }
}

} // namespace pc
