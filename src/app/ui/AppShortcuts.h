#pragma once
// Keyboard shortcuts that work in every window of the program, and the hidden engineering chord
// (left and right Control held together).

#include <QObject>

class TMainForm;

class TAppShortcuts : public QObject {
    Q_OBJECT
public:
    explicit TAppShortcuts(TMainForm* form);

    // Native scan codes of the two Control keys (X11 / xcb).
    static constexpr quint32 LeftControlScanCode = 37;
    static constexpr quint32 RightControlScanCode = 105;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void KeyDown(const class QKeyEvent& key);
    void KeyUp(const class QKeyEvent& key);
    void ToggleScope();

    TMainForm* FForm;
    bool FLeftControlDown = false;
    bool FRightControlDown = false;
};
