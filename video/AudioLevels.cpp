#include "video/AudioLevels.h"

#include <algorithm>
#include <cmath>

int linearVolumeLevel(int volume)
{
    volume = std::clamp(volume, 0, 10000);
    const int level = static_cast<int>(std::lround(std::log(volume + 1.0) * 1085.73)) - 10000;
    return std::clamp(level, -10000, 0);
}

int directVolumeLevel(int volume) { return std::clamp(volume, 0, 10000) - 10000; }

double volumeFactor(int level)
{
    if (level <= -10000)
        return 0.0;
    return std::pow(10.0, std::min(level, 0) / 2000.0);
}

float panoramaPosition(int balance)
{
    return static_cast<float>(std::clamp(balance, -10000, 10000)) / 10000.0f;
}
