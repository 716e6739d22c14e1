// A window restored from durnix.ini onto the screens there are now.
#include "app/settings/window_placement.h"

#include <gtest/gtest.h>

TEST(WindowPlacement, AWindowNoScreenShowsComesBackOntoTheNearestScreen)
{
    const QRect left(0, 0, 1920, 1040), right(1920, 0, 1280, 984);
    const std::tuple<const char*, QRect, QList<QRect>, QRect> cases[] = {
        {"on its screen", {100, 100, 391, 444}, {left}, {100, 100, 391, 444}},
        {"on the second screen", {2300, 50, 391, 444}, {left, right}, {2300, 50, 391, 444}},
        {"second screen unplugged", {2300, 50, 391, 444}, {left}, {1529, 50, 391, 444}},
        {"above the desktop", {100, -600, 391, 444}, {left}, {100, 0, 391, 444}},
        {"title bar just off the top", {100, -10, 391, 444}, {left}, {100, 0, 391, 444}},
        {"enough of the title bar to grab", {1860, 100, 391, 444}, {left}, {1860, 100, 391, 444}},
        {"a sliver too thin to grab", {1880, 100, 391, 444}, {left}, {1529, 100, 391, 444}},
        {"larger than the screen", {-5000, 0, 3000, 2000}, {left}, {0, 0, 1920, 1040}},
        {"nearest of two", {4000, 500, 391, 444}, {left, right}, {2809, 500, 391, 444}},
        {"no screens known", {-5000, 0, 391, 444}, {}, {-5000, 0, 391, 444}},
    };
    for (const auto& [name, window, screens, placed] : cases)
        EXPECT_EQ(PlaceOnScreens(window, screens), placed) << name;
}
