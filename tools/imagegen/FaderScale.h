// Where the fader knob stands for each gain step, so that the drawn scales meet the knob's centre line.
#pragma once

#include <QString>

class FaderScale {
public:
    static constexpr int steps = 28;
    static constexpr int sliderHeight = 183;
    static constexpr int knobHeight = 39;

    // Top row of the knob inside the slider for a step (0 = bottom, 28 = top), as the slider places it.
    static int knobTop(int step);
    // Row of the knob's centre line inside the slider.
    static int centreRow(int step) { return knobTop(step) + knobHeight / 2; }
    // Gain in dB at a step: inputs run from -4 to +10, outputs from -10 to +4.
    static double gain(int step, bool input) { return (input ? -4.0 : -10.0) + 0.5 * step; }
    // Step that gives 0 dB.
    static int unityStep(bool input) { return input ? 8 : 20; }
    // Scale legend for a step, without a plus sign so it fits beside the fader.
    static QString legend(int step, bool input);
};
