#include "app/ui/ScopeThresholdLines.h"

#include "app/MainCore.h"
#include "app/ui/CategoryPanel.h"
#include "app/ui/ScopeUnit.h"
#include "app/ui/StatisticsPanel.h"
#include "app/ui/ThresholdOverlay.h"

#include <QTimer>
#include <QVBoxLayout>

TScopeAnalysis AttachScopeAnalysis(TScopeForm& scope, TMainCore& core, void (*beforeDrag)())
{
    TScopeAnalysis a;
    auto* category = new TCategoryPanel(QStringLiteral("Statistics"));
    category->setObjectName(QStringLiteral("StatisticsCategory"));
    a.Statistics = new TStatisticsPanel(core, true, category->Content());
    auto* content = new QVBoxLayout(category->Content());
    content->setContentsMargins(0, 0, 0, 0);
    content->addWidget(a.Statistics);
    scope.ScopePanels->AddPanel(category);
    // Folded at first: the scope's own panels keep the room they had.
    category->Collapse();
    QObject::connect(category, &TCategoryPanel::CollapsedChanged, &scope, [s = &scope] {
        QTimer::singleShot(0, s, &TScopeForm::CheckGategoryPanelSize);
    });

    a.Thresholds = new TThresholdOverlay(scope.ScopeGraph, core, false);
    TScopeForm* s = &scope;
    // Count traces carry the lines: their channel's colour, shown with the trace.
    a.Thresholds->ChannelShown = [s, &core](int c) { return s->CurChecked(c) && core.CHCheck[size_t(c)]; };
    a.Thresholds->ChannelColour = [s](int c) { return s->ChannelColour(c); };
    a.Thresholds->BeforeDrag = beforeDrag;
    return a;
}
