#include "picture_fit.h"
#include <algorithm>
#include <cstdint>

namespace platform {
namespace {

// Rounds towards minus infinity, so bar pixels left of or above the picture land outside it.
int FloorDivide(int64_t numerator, int64_t denominator) {
    const int64_t quotient = numerator / denominator;
    return static_cast<int>(quotient * denominator > numerator ? quotient - 1 : quotient);
}

}  // namespace

PictureRect FitPicture(int areaWidth, int areaHeight, int pictureWidth, int pictureHeight) {
    if (areaWidth <= 0 || areaHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return {};
    PictureRect rect;
    // Compared crosswise so the test is exact: is the area relatively wider than the picture?
    if (int64_t(areaWidth) * pictureHeight > int64_t(areaHeight) * pictureWidth) {
        rect.height = areaHeight;
        rect.width = std::max(1, static_cast<int>(int64_t(areaHeight) * pictureWidth / pictureHeight));
    } else {
        rect.width = areaWidth;
        rect.height = std::max(1, static_cast<int>(int64_t(areaWidth) * pictureHeight / pictureWidth));
    }
    rect.x = (areaWidth - rect.width) / 2;
    rect.y = (areaHeight - rect.height) / 2;
    return rect;
}

bool IsWholeScale(const PictureRect& rect, int pictureWidth, int pictureHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0) return false;
    if (rect.width % pictureWidth != 0 || rect.height % pictureHeight != 0) return false;
    return rect.width / pictureWidth == rect.height / pictureHeight;
}

int SharpScaleFactor(const PictureRect& rect, int pictureWidth, int pictureHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0) return 1;
    const int across = (rect.width + pictureWidth - 1) / pictureWidth;
    const int down = (rect.height + pictureHeight - 1) / pictureHeight;
    return std::max({1, across, down});
}

PicturePoint AreaToPicture(const PictureRect& rect, int pictureWidth, int pictureHeight, PicturePoint area) {
    if (rect.width <= 0 || rect.height <= 0) return {-1, -1};
    // Through pixel centres, so each picture pixel maps back from the screen pixel at its own centre.
    return {FloorDivide((2 * int64_t(area.x - rect.x) + 1) * pictureWidth, 2 * int64_t(rect.width)),
            FloorDivide((2 * int64_t(area.y - rect.y) + 1) * pictureHeight, 2 * int64_t(rect.height))};
}

PicturePoint PictureToArea(const PictureRect& rect, int pictureWidth, int pictureHeight, PicturePoint picture) {
    if (pictureWidth <= 0 || pictureHeight <= 0) return {rect.x, rect.y};
    return {rect.x + FloorDivide((2 * int64_t(picture.x) + 1) * rect.width, 2 * int64_t(pictureWidth)),
            rect.y + FloorDivide((2 * int64_t(picture.y) + 1) * rect.height, 2 * int64_t(pictureHeight))};
}

}  // namespace platform
