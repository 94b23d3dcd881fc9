#pragma once
// The graph's volume and balance scales turned into what GStreamer's volume and panorama elements
// take, so that a render plays at the level the graph was set to (full and centred here).

// Volume 0..10000 on the linear scale -> attenuation in hundredths of a decibel (0 = full,
// -10000 = silent): round(ln(volume + 1) * 1085.73) - 10000, clamped.
int linearVolumeLevel(int volume);
// Volume 0..10000 taken as it is -> volume - 10000, clamped.
int directVolumeLevel(int volume);
// Hundredths of a decibel -> amplitude factor for the volume element; -10000 and below is silence.
double volumeFactor(int level);
// Balance -10000..10000 -> panorama position -1..1.
float panoramaPosition(int balance);
