#pragma once
// The main window's bar graph axis as the settings window's "Bar Graph" group sets it.

class TMainForm;

// Left axis from minimum to maximum with ticks every increment; repainted at once unless the bar timer
// repaints it anyway.
void SetBarGraphAxis(TMainForm& form, int minimum, int maximum, int increment);
