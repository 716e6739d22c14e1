#include "command/recent_commands.h"

#include <algorithm>

bool RecentCommands::Remember(const QString& command, double dispState, double hexState)
{
    // Exact comparison: case and spaces count.
    if (std::find(texts.rbegin(), texts.rend(), command) != texts.rend())
        return false;
    for (std::size_t k = texts.size() - 1; k > 0; --k) {
        texts[k] = texts[k - 1];
        disp[k] = disp[k - 1];
        hex[k] = hex[k - 1];
    }
    texts[0] = command;
    disp[0] = dispState;
    hex[0] = hexState;
    return true;
}
