#pragma once

#include "simcard/controls/CardState.h"
#include "simcard/stream/FrameGeometry.h"
#include "simcard/picture/Adjustment.h"
#include "simcard/picture/Canvas.h"
#include "simcard/picture/Scenes.h"

#include <vector>

// Draws the frames of one stream. A still scene (station, bars, test card) is
// drawn, adjusted and converted once per change of the card's settings and
// copied into each frame; snow is drawn afresh for every frame. Nothing is
// allocated per frame.
class PictureGenerator {
public:
    // Allocates the buffers for this format; false when it cannot be drawn.
    bool Configure(const FrameGeometry& geometry);

    // Fills one frame of geometry.imageSize bytes.
    void Render(const CardState& state, BYTE* frame);

private:
    void Redraw(const CardSettings& settings);

    FrameGeometry geometry;
    Canvas canvas;
    std::vector<BYTE> still;
    Adjustment adjustment;
    SnowGenerator snow;
    CardSettings settings;
    LONG drawnVersion = 0;
    bool snowing = false;
    int blockSize = 1;
};
