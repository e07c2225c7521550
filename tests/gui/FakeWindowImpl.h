#pragma once
// A window implementation without a window system: it records what the control
// objects ask of it, so that the portable rules can be checked natively.
#include "runtime/gui/CreationRecord.h"
#include "runtime/gui/WinControl.h"
#include "runtime/gui/WindowImpl.h"

#include <set>
#include <string>
#include <vector>

class FakeWindowImpl : public CQueltWindowImpl {
public:
    const char* typeName() const override { return "CVWnd_Container"; }
    bool exists() const override { return alive; }
    bool createNative(const CQueltCreationRecord& record, const CWString& caption, std::uint32_t style,
                      std::uint32_t exStyle) override {
        ++createCalls;
        if (failCreate)
            return false;
        createdRecord = record;
        text_ = caption;
        style_ = style | extraStyleOnCreate;
        exStyle_ = exStyle;
        window_ = 0x1234;
        alive = true;
        if (auto* container = dynamic_cast<IContainerEventListener*>(listener()))
            container->onContainerCreated();
        return true;
    }
    void destroyNative() override {
        alive = false;
        window_ = 0;
        ++destroyCalls;
    }
    void setText(const CWString& text) override { text_ = text; }
    CWString text() const override { return text_; }
    void invalidate(bool) override { ++invalidations; }
    std::uint32_t style() const override { return style_; }
    std::uint32_t exStyle() const override { return exStyle_; }
    void applyStyles(std::uint32_t style, std::uint32_t exStyle) override {
        style_ = style;
        exStyle_ = exStyle;
        ++styleChanges;
    }
    std::uint32_t dialogCode() override { return dialogCodeAnswer; }
    void setFont(std::uintptr_t font) override { fontSet = font; }
    std::uintptr_t createDefaultFont(std::uintptr_t) override { return ++fontsCreated + 0x500; }
    void deleteFont(std::uintptr_t) override {}
    void applyShape(std::int32_t shape) override { appliedShape = shape; }
    void applyState(std::int32_t state) override { appliedState = state; }
    bool keyIsDown(std::uint32_t key) const override { return keysDown.count(key) != 0; }
    void showCursor(std::uintptr_t cursor) override { cursorShown = cursor; }
    void takeDroppedFiles(std::uintptr_t, rg_quelt_base::rg_WenBenShuZuLei& paths) override {
        for (const auto& p : droppedPaths)
            paths.Append(p);
        ++dropsTaken;
    }

    // Sends a message the way the window layer does: to the listener.
    bool deliver(CQueltMessageRecord& record) {
        record.window = window_;
        return listener() && listener()->onWindowMessage(record);
    }

    bool alive = false;
    bool failCreate = false;
    int createCalls = 0;
    int destroyCalls = 0;
    int invalidations = 0;
    int styleChanges = 0;
    int fontsCreated = 0;
    int dropsTaken = 0;
    std::uintptr_t fontSet = 0;
    std::uintptr_t cursorShown = 0;
    std::uint32_t dialogCodeAnswer = 0;
    std::uint32_t extraStyleOnCreate = 0;
    std::int32_t appliedShape = -1;
    std::int32_t appliedState = -1;
    std::set<std::uint32_t> keysDown;
    std::vector<std::u16string> droppedPaths;
    CQueltCreationRecord createdRecord;

private:
    CWString text_;
    std::uint32_t style_ = 0;
    std::uint32_t exStyle_ = 0;
};

// Installs the fake factory for a test's lifetime.
struct FakeWindowLayer {
    FakeWindowLayer() {
        previous = windowImplFactory();
        setWindowImplFactory([](rg_quelt_WTLJieMian_base::CQueltWinControl&) -> CQueltWindowImpl* {
            return new FakeWindowImpl();
        });
    }
    ~FakeWindowLayer() { setWindowImplFactory(previous); }
    static FakeWindowImpl& of(rg_quelt_WTLJieMian_base::CQueltWinControl& control) {
        return *static_cast<FakeWindowImpl*>(control.windowObject().impl());
    }
    WindowImplFactory previous;
};
