#pragma once

#include "image.h"

namespace art::pal {

constexpr Rgba kInk = Rgb(0x140c12);  // sprite outlines

// Den wall behind everything.
constexpr Rgba kWallMortar = Rgb(0x120d18);
constexpr Rgba kWallA = Rgb(0x1f1729);
constexpr Rgba kWallB = Rgb(0x231a2f);
constexpr Rgba kWallC = Rgb(0x1b1423);

// Warm stone of the solid blocks.
constexpr Rgba kStoneMortar = Rgb(0x4a2a1c);
constexpr Rgba kStoneA = Rgb(0x8c5634);
constexpr Rgba kStoneB = Rgb(0x9a6038);
constexpr Rgba kStoneC = Rgb(0x7e4b2e);
constexpr Rgba kStoneLight = Rgb(0xb8784a);
constexpr Rgba kStoneDark = Rgb(0x64391f);
constexpr Rgba kLedgeTop = Rgb(0xf2b25e);
constexpr Rgba kLedgeUnder = Rgb(0xc98444);
constexpr Rgba kStoneShadow = Rgb(0x35190f);
constexpr Rgba kStoneSide = Rgb(0x5a321d);

// Lettering.
constexpr Rgba kGoldTop = Rgb(0xfff0a0);
constexpr Rgba kGoldBottom = Rgb(0xe08a1e);
constexpr Rgba kTextLight = Rgb(0xf4e8d0);
constexpr Rgba kShadow = Rgb(0x08050a);

// Flames.
constexpr Rgba kFlameCore = Rgb(0xfffbe0);
constexpr Rgba kFlameYellow = Rgb(0xffd84a);
constexpr Rgba kFlameOrange = Rgb(0xff8a1e);
constexpr Rgba kFlameRed = Rgb(0xd8321a);

}  // namespace art::pal
