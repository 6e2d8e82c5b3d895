#include "simcard/picture/PictureGenerator.h"

#include "simcard/picture/Caption.h"
#include "simcard/picture/PixelWriter.h"

#include <cstring>

bool PictureGenerator::Configure(const FrameGeometry& newGeometry) {
    if (newGeometry.width <= 0 || newGeometry.height <= 0) {
        return false;
    }
    geometry = newGeometry;
    canvas.Resize(geometry.width, geometry.height);
    still.assign(static_cast<size_t>(geometry.imageSize), 0);
    drawnVersion = 0;
    return true;
}

void PictureGenerator::Redraw(const CardSettings& newSettings) {
    settings = newSettings;
    adjustment.Prepare(settings.picture);
    blockSize = Adjustment::BlockSizeFor(settings.quality);
    const bool tuner = settings.videoRoute == InputTunerVideo;
    snowing = tuner && !Scenes::HasStation(settings.channel);
    if (snowing) {
        return; // drawn per frame
    }
    if (tuner) {
        Scenes::Station(canvas, settings.channel);
    } else if (settings.videoRoute == InputComposite) {
        Scenes::ColourBars(canvas);
    } else if (settings.videoRoute == InputSVideo) {
        Scenes::TestCard(canvas);
    } else {
        Scenes::Black(canvas);
    }
    adjustment.Apply(canvas);
    Adjustment::Pixelate(canvas, blockSize);
    Caption::Draw(canvas, settings);
    PixelWriter::Write(canvas, geometry, still.data());
}

void PictureGenerator::Render(const CardState& state, BYTE* frame) {
    const LONG version = state.Version();
    if (version != drawnVersion) {
        drawnVersion = version;
        Redraw(state.Get());
    }
    if (!snowing) {
        std::memcpy(frame, still.data(), still.size());
        return;
    }
    snow.Draw(canvas, adjustment.Levels(), blockSize);
    Caption::Draw(canvas, settings);
    PixelWriter::Write(canvas, geometry, frame);
}
