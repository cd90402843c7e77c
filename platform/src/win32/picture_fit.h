// Where a fixed-size picture goes on a larger or smaller area when it is shown whole, with its proportions kept,
// and how points move between the two. Coordinates are pixels from the top-left corner.
#pragma once

namespace platform {

struct PictureRect {
    int x = 0, y = 0, width = 0, height = 0;
};

struct PicturePoint {
    int x = 0, y = 0;
};

// The largest rectangle of the picture's proportions that fits the area, centred; the rest are bars.
PictureRect FitPicture(int areaWidth, int areaHeight, int pictureWidth, int pictureHeight);

// True when the rectangle shows every picture pixel as an exact square of whole screen pixels.
bool IsWholeScale(const PictureRect& rect, int pictureWidth, int pictureHeight);

// The whole factor a picture is first enlarged by, pixel for pixel, before it is smoothed down into the rectangle:
// the scale rounded up, at least 1. Enlarging by it keeps pixel art crisp; the smoothing step only blends the
// edges between enlarged pixels.
int SharpScaleFactor(const PictureRect& rect, int pictureWidth, int pictureHeight);

// The picture pixel under an area pixel; outside [0, size) on the bars.
PicturePoint AreaToPicture(const PictureRect& rect, int pictureWidth, int pictureHeight, PicturePoint area);

// The area pixel at the centre of a picture pixel's square.
PicturePoint PictureToArea(const PictureRect& rect, int pictureWidth, int pictureHeight, PicturePoint picture);

}  // namespace platform
