#pragma once

#include <QString>
#include <array>
#include <optional>

// A remembered check-box state: empty until set; an empty one counts as 0.
using RememberedState = std::optional<double>;

// The command box's five recent commands, newest first, each with the DISP
// and hexadecimal check-box states it was first sent with.
struct RecentCommands {
    std::array<QString, 5> texts;
    std::array<RememberedState, 6> disp; // RecentDisp: six elements, 0-4 used
    std::array<RememberedState, 6> hex; // RecentHex

    // A command already in the list keeps its place and its first states;
    // otherwise everything moves down one, the oldest is lost, and the
    // command becomes the newest. True when the list changed.
    bool Remember(const QString& command, double dispState, double hexState);
};
