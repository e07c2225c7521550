#pragma once
// The listener interfaces through which a window implementation reports to its
// control object. A window implementation holds a plain pointer to its control's
// listener; the control detaches it before it goes away. All calls come on the
// thread that owns the window.
#include <cstdint>

struct CQueltMessageRecord {
    std::uintptr_t window = 0;
    std::uint32_t message = 0;
    std::uintptr_t wparam = 0;
    std::intptr_t lparam = 0;
    // The answer when the listener reports the message handled.
    std::intptr_t result = 0;
};

namespace rg_quelt_WTLJieMian_base {
class rg_ChuangKouWeiZhiXianZhiXinXi;
}

class IBaseEventListener {
public:
    // True when the message is handled: the window then answers record.result and
    // processes it no further. A listener may change wparam for later processing.
    virtual bool onWindowMessage(CQueltMessageRecord& record) = 0;

protected:
    ~IBaseEventListener() = default;
};

class IContainerEventListener : public IBaseEventListener {
public:
    virtual void onContainerCreated() = 0;
    virtual void onContainerDestroyed() = 0;
    // A notification plain containers never raise (the tab selector's slot).
    virtual void onContainerReserved() = 0;
    virtual void onContainerSizeChanged() = 0;
    virtual void onContainerShown(bool shown) = 0;
    virtual void onContainerMoved() = 0;
    // A menu or accelerator command; true when handled.
    virtual bool onContainerCommand(std::int32_t identifier) = 0;

protected:
    ~IContainerEventListener() = default;
};

class IButtonEventListener : public IBaseEventListener {
public:
    virtual void onButtonClicked() = 0;

protected:
    ~IButtonEventListener() = default;
};

class ILabelEventListener : public IBaseEventListener {
public:
    // The label's private notification; the answer is the message's result.
    virtual std::intptr_t onLabelNotification(std::uintptr_t wparam, std::intptr_t lparam) = 0;

protected:
    ~ILabelEventListener() = default;
};

class IEditEventListener : public IBaseEventListener {
public:
    virtual void onEditContentChanged() = 0;
    // A manual spin step: -1 down, +1 up.
    virtual void onEditSpin(std::int32_t direction) = 0;

protected:
    ~IEditEventListener() = default;
};

class ITabEventListener : public IBaseEventListener {
public:
    // False keeps the current tab.
    virtual bool onTabSelectionChanging() = 0;
    virtual void onTabSelectionChanged() = 0;
    virtual void onTabClicked() = 0;

protected:
    ~ITabEventListener() = default;
};

class IWinFormEventListener {
public:
    // The message is a native MSG record; true when consumed.
    virtual bool onFormPreTranslate(void* message) = 0;
    virtual bool onFormQueryClose() = 0;
    virtual bool onFormCloseRequest() = 0;
    virtual void onFormFirstActivation() = 0;
    virtual void onFormActivated() = 0;
    virtual void onFormDeactivated() = 0;
    virtual void onFormTrayEvent(std::int32_t kind) = 0;
    virtual void onFormMenuSelected(std::int32_t identifier) = 0;
    // True when the record's values are to be applied.
    virtual bool onFormSizeLimits(rg_quelt_WTLJieMian_base::rg_ChuangKouWeiZhiXianZhiXinXi& limits) = 0;
    virtual void onFormModalLoopStarting() = 0;

protected:
    ~IWinFormEventListener() = default;
};
