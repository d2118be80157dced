#pragma once
// The cover pictures of the shipped templates and the sample pictures. Each
// draws itself on a design area of any width w and height h (the face it
// dresses, in proportion), from gradients, shapes and titles.
#include <QPainter>

namespace pc::probe {

using CoverArt = void (*)(QPainter& p, double w, double h);

void SoftwareFront(QPainter& p, double w, double h);
void SoftwareBack(QPainter& p, double w, double h);
void SoftwareSpine(QPainter& p, double w, double h);
void SoftwareTop(QPainter& p, double w, double h);
void BookFront(QPainter& p, double w, double h);
void BookBack(QPainter& p, double w, double h);
void BookSpine(QPainter& p, double w, double h);
void PageEdges(QPainter& p, double w, double h);   // leaves seen edge-on, running up the picture
void PageTops(QPainter& p, double w, double h);    // the same running across it
void DiscLabel(QPainter& p, double w, double h);
void CaseCover(QPainter& p, double w, double h);
void CaseSpine(QPainter& p, double w, double h);
void NoteCover(QPainter& p, double w, double h);
void AtlasCover(QPainter& p, double w, double h);
void AtlasSpine(QPainter& p, double w, double h);
void TinCover(QPainter& p, double w, double h);
void TinSide(QPainter& p, double w, double h);
void GiftWrap(QPainter& p, double w, double h); // the gift box model's texture

} // namespace pc::probe
