#pragma once
// The colour lighting sees. With colour tracking on, the lit material takes
// its ambient and diffuse colour from the current colour, but only when the
// colour changes: a glPopAttrib that puts back an earlier material while the
// colour stays leaves the two apart, and setting the colour the surface
// already has then does not reach the material.

namespace pc {

// Sets the current colour and makes a tracking material take it at once.
// Outside glBegin/glEnd only.
void SetLitColor(float r, float g, float b, float a);

} // namespace pc
