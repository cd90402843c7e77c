#pragma once

// The screen the application shows; the game requests Win and GameOver.
enum ScreenState : int {
    Splash = 0,
    Menu = 1,
    Playing = 2,
    Credits = 3,
    Win = 4,
    GameOver = 5,
};
