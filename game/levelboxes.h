#pragma once
#include "boundingbox.h"

// The level's solid boxes, lower-left corner and size in world units (y up from the bottom of the window). The game
// collides with them and make-art paints the level picture's rock over them, so both read this one table.
constexpr BoundingBoxes::BoundingBox kLevelBoxes[] = {
    {0, 736, 1024, 32},  {0, 32, 40, 704},     {0, 0, 1024, 48},     {995, 32, 32, 704},  {32, 672, 40, 64},
    {64, 704, 72, 32},   {899, 704, 64, 32},   {963, 672, 32, 64},   {227, 608, 70, 48},  {419, 576, 198, 48},
    {451, 544, 134, 48}, {739, 608, 70, 48},   {32, 479, 105, 81},   {128, 512, 73, 48},  {835, 512, 73, 48},
    {899, 479, 105, 81}, {259, 351, 102, 113}, {675, 351, 102, 113}, {32, 224, 72, 112},  {487, 256, 64, 78},
    {932, 224, 72, 112}, {32, 160, 104, 79},   {453, 192, 130, 78},  {900, 160, 104, 80}, {32, 32, 264, 144},
    {288, 128, 41, 48},  {484, 159, 70, 48},   {707, 128, 41, 48},   {740, 32, 264, 144}, {227, 350, 40, 45},
    {771, 350, 40, 45},
};
