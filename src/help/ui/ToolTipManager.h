#pragma once
// Balloon tips with a bold title, an icon and a line of text for chosen controls. One entry per control;
// the owner may fill title and text just before a tip appears (OnBeforeShow).

#include <QColor>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QTimer;
class TBalloonTip;
class TToolTipManager;

enum class TToolTipIcon {
    ttiNone,
    ttiInformation,
    ttiWarning,
    ttiError,
    ttiInformationLarge,
    ttiWarningLarge,
    ttiErrorLarge,
    ttiCustom
};

class TToolTipItem {
public:
    explicit TToolTipItem(TToolTipManager* owner) : FOwner(owner) {}
    // Copies the seven properties; the owner stays.
    TToolTipItem& operator=(const TToolTipItem& other);

    QWidget* Control() const { return FControl; }
    // Takes title and description from the control's tool tip ("short|long") where they are empty.
    void SetControl(QWidget* control);

    QIcon CustomIcon;
    TToolTipIcon IconType = TToolTipIcon::ttiNone;
    QString Title;
    QString Description;
    QColor Color;     // invalid: the manager's DefaultColor
    QColor TextColor; // invalid: the manager's DefaultTextColor

private:
    friend class TToolTipManager;
    TToolTipManager* FOwner;
    QPointer<QWidget> FControl; // empty once the control is destroyed
};

class TToolTipManager : public QObject {
    Q_OBJECT
public:
    using TToolTipEvent = std::function<void(TToolTipManager* Sender, TToolTipItem* ToolTip)>;

    explicit TToolTipManager(QObject* owner = nullptr);
    ~TToolTipManager() override;

    bool BalloonTip() const { return FBalloonTip; }
    void SetBalloonTip(bool value);
    bool CenterTip() const { return FCenterTip; }
    void SetCenterTip(bool value);
    QColor DefaultColor;
    QColor DefaultTextColor;
    QIcon DefaultCustomIcon;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    uint32_t ShowPause() const { return FShowPause; }
    void SetShowPause(uint32_t ms);
    uint32_t HidePause() const { return FHidePause; }
    void SetHidePause(uint32_t ms);
    uint32_t ReshowPause() const { return FReshowPause; }
    void SetReshowPause(uint32_t ms);

    // The entries, in collection order.
    TToolTipItem* Add(QWidget* control = nullptr);
    int Count() const { return int(FItems.size()); }
    TToolTipItem* Item(int index) const { return FItems[size_t(index)].get(); }

    TToolTipEvent OnBeforeShow;
    TToolTipEvent OnShow;
    TToolTipEvent OnHide;

    // The owner has finished setting the manager up: the tips are built.
    void Loaded();
    void RebuildToolTips();
    void RemoveToolTips();

    // The entry on screen, and the tip window (null until built).
    TToolTipItem* VisibleToolTip() const { return FVisibleToolTip; }
    QWidget* ToolTipWindow() const;
    // The tip for a hovered window, as after the show delay; hides it again.
    void ShowToolTipFor(QWidget* window);
    void HideToolTip();

protected:
    virtual void AddToolTip(TToolTipItem* Item);
    virtual void RegisterToolTip(TToolTipItem* Item);
    virtual void UnregisterToolTip(TToolTipItem* Item);
    virtual void ApplyToolTipStyle(TToolTipItem* Item);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TToolTipItem;
    void Watch(QWidget* window);
    void ControlDestroyed(QObject* control);
    TToolTipItem* EntryFor(QWidget* window) const;
    void Place(QWidget* window);

    bool FBalloonTip = true;
    bool FCenterTip = false;
    bool FEnabled = true;
    bool FLoading = true;
    bool FDestroying = false;
    uint32_t FShowPause = 500;
    uint32_t FHidePause = 5000;
    uint32_t FReshowPause = 100;
    std::vector<std::unique_ptr<TToolTipItem>> FItems;
    std::unique_ptr<TBalloonTip> fToolTipWnd;
    QList<QPointer<QWidget>> FWatched; // the windows whose mouse moves are watched
    bool IsWatched(QWidget* window) const;
    TToolTipItem* FVisibleToolTip = nullptr;
    QPointer<QWidget> FHovered;
    bool FReshow = false; // the mouse left a tool while its tip was up
    QTimer* FShowTimer;
    QTimer* FHideTimer;
};
