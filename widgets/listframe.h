#pragma once

class QFrame;

namespace widgets {

// Keeps the frame of a list (a scroll area) whole at fractional scale factors.
//
// At a scale factor such as 1.5 a frame line at a logical pixel whose device position falls on a
// half pixel (the bottom line of a list of even height: 95 * 1.5 = 142.5) is drawn into the pixel
// below that position, while the list's viewport and scroll bars, whose edge lies at the same
// place, are rounded up to cover that pixel: they paint over the line. A transparent sibling
// stacked above the list draws the list's frame again, after everything inside the list.
void keepFrameOnTop(QFrame* list);

} // namespace widgets
