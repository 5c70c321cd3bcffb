#pragma once
// The settings windows over a core whose tool is the simulator (manual clock), with the view calls passed
// on to the settings window as the main window passes them, and the message boxes answered by the test.

#include "app/MainCore.h"
#include "app/MainView.h"
#include "app/SessionControl.h"
#include "settings/RegisterOperations.h"
#include "settings/ui/SettingsUnit.h"
#include "settings/ui/FormGeometry.h"
#include "sim/Simulator.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <memory>

namespace settingsui {

struct Messages : IMessageSink {
    QStringList Infos, Errors;
    int KvrAddItem(const QString& item, TKvrItemType kind) override
    {
        (kind == TKvrItemType::aError ? Errors : Infos) << item;
        return Infos.size() + Errors.size() - 1;
    }
};

struct FormView : IMainView {
    TSettingsForm* Form = nullptr;
    QStringList Warnings;
    int DeltaCalls = 0;
    void ShowWarning(const QString& text) override { Warnings << text; }
    void Delta() override { ++DeltaCalls; }
    void SetPowerButtonCaption(const QString& c) override { Form->SetPowerButtonCaption(c); }
    void SettingsRecordChanged() override { Form->SettingsRecordChanged(); }
    void TakeSettingsAsApplied() override { Form->TakeSettingsAsApplied(); }
    void ShowATINotice() override { Form->ShowATINotice(); }
    bool ATINoticeVisible() const override { return Form->ATINoticeVisible(); }
    void HideATINotice() override { Form->HideATINotice(); }
    void ShowDataMissed() override { Form->ShowDataMissed(); }
    void SetForceSleepEnabled(bool e) override { Form->SetForceSleepEnabled(e); }
    bool ForceSleepEnabled() const override { return Form->ForceSleepEnabled(); }
    void SetCalCapWaitVisible(bool v) override { Form->SetCalCapWaitVisible(v); }
    void SetRegisterBusy(bool b) override { Form->SetRegisterBusy(b); }
    void SetSettingsChanged(bool c) override { Form->SetSettingsChanged(c); }
    void SetLoadSettingsButtonEnabled(bool e) override { Form->SetLoadSettingsButtonEnabled(e); }
    void SetDeltaCheckEnabled(bool e) override
    {
        if (Form)
            Form->SetDeltaCheckEnabled(e);
    }
};

inline bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 3000)
{
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

class SettingsFormTest : public ::testing::Test {
protected:
    static SimOptions Options()
    {
        SimOptions o;
        o.manualClock = true;
        o.seed = 7;
        o.scenario = QStringLiteral("idle");
        return o;
    }

    void SetUp() override
    {
        // Window geometry goes to a file of the test's own, never the user's.
        FormGeometry::SetPreferencesFile(PrefsDir.filePath(QStringLiteral("KorvaneKT610B.ini")));
        Core = std::make_unique<TMainCore>(Sim.Backend(), &Msgs, &View);
        Core->KorvaneDevList1->Activate();
        ASSERT_TRUE(WaitUntil([this] { return Core->KorvaneDevList1->HidDevices().Count == 1; }));
        ASSERT_TRUE(Core->KorvaneHidTool1->SetCurrentDevice(0));
        Form = std::make_unique<TSettingsForm>(*Core);
        View.Form = Form.get();
        Form->AskYesNo = [this](const QString& text) {
            Questions << text;
            return Answer;
        };
        Form->OnSetGraphAxis = [this](int minimum, int maximum, int increment) {
            Axis = {minimum, maximum, increment};
        };
    }
    void TearDown() override
    {
        View.Form = nullptr;
        Form.reset();
        Core.reset();
        FormGeometry::SetPreferencesFile(QString());
    }

    void PowerOn()
    {
        Core->Session->PowerButtonClick();
        ASSERT_TRUE(Core->FPowerOn) << Msgs.Errors.join('\n').toStdString();
    }
    template <typename T> T* Find(const QString& name) const
    {
        T* w = Form->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    TSettingsRecord& S() { return Core->Settings; }

    QTemporaryDir PrefsDir;
    TSimulator Sim{Options()};
    Messages Msgs;
    FormView View;
    std::unique_ptr<TMainCore> Core;
    std::unique_ptr<TSettingsForm> Form;
    QStringList Questions;
    bool Answer = true;
    std::array<int, 3> Axis{-1, -1, -1};
};

} // namespace settingsui
