#pragma once
// The tuning analysis in the scope window: a "Statistics" panel at the foot of its side panel and the
// threshold lines over its traces (a line for each channel whose count trace is shown).

class TMainCore;
class TScopeForm;
class TStatisticsPanel;
class TThresholdOverlay;

struct TScopeAnalysis {
    TStatisticsPanel* Statistics = nullptr;
    TThresholdOverlay* Thresholds = nullptr;
};

// beforeDrag: brings the Thresholds page up before a line is dragged.
TScopeAnalysis AttachScopeAnalysis(TScopeForm& scope, TMainCore& core, void (*beforeDrag)());
