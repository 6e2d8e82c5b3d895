#pragma once

#include "simcard/stream/FrameGeometry.h"
#include "simcard/picture/Canvas.h"

// Writes a canvas into a frame buffer in the connection's pixel layout,
// bottom-up when the format says so.
namespace PixelWriter {

void Write(const Canvas& canvas, const FrameGeometry& geometry, BYTE* frame);

}
