#pragma once

#include "image.hpp"

namespace art::pal {

constexpr Rgba kInk = rgb(0x140c12);  // sprite outlines

// Den wall behind everything.
constexpr Rgba kWallMortar = rgb(0x120d18);
constexpr Rgba kWallA = rgb(0x1f1729);
constexpr Rgba kWallB = rgb(0x231a2f);
constexpr Rgba kWallC = rgb(0x1b1423);

// Warm stone of the solid blocks.
constexpr Rgba kStoneMortar = rgb(0x4a2a1c);
constexpr Rgba kStoneA = rgb(0x8c5634);
constexpr Rgba kStoneB = rgb(0x9a6038);
constexpr Rgba kStoneC = rgb(0x7e4b2e);
constexpr Rgba kStoneLight = rgb(0xb8784a);
constexpr Rgba kStoneDark = rgb(0x64391f);
constexpr Rgba kLedgeTop = rgb(0xf2b25e);
constexpr Rgba kLedgeUnder = rgb(0xc98444);
constexpr Rgba kStoneShadow = rgb(0x35190f);
constexpr Rgba kStoneSide = rgb(0x5a321d);

// Lettering.
constexpr Rgba kGoldTop = rgb(0xfff0a0);
constexpr Rgba kGoldBottom = rgb(0xe08a1e);
constexpr Rgba kTextLight = rgb(0xf4e8d0);
constexpr Rgba kShadow = rgb(0x08050a);

// Flames.
constexpr Rgba kFlameCore = rgb(0xfffbe0);
constexpr Rgba kFlameYellow = rgb(0xffd84a);
constexpr Rgba kFlameOrange = rgb(0xff8a1e);
constexpr Rgba kFlameRed = rgb(0xd8321a);

}  // namespace art::pal
