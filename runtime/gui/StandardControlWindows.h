#pragma once
// What the standard controls ask of their native windows beyond the common window
// operations: a window implementation of the window layer implements the interface
// of its control kind next to CQueltWindowImpl. The control finds it with a
// dynamic_cast and does without it (a window layer without such a window, a test's
// stand-in). User-interface thread only.
#include <cstdint>

class IButtonWindow {
public:
    // The check state: 0 unchecked, 1 checked, 2 indeterminate.
    virtual std::int32_t checkState() const = 0;
    virtual void setCheckState(std::int32_t state) = 0;

protected:
    ~IButtonWindow() = default;
};

class IEditWindow {
public:
    // Applies the control's input mode to the existing window (password character,
    // read-only state) and repaints it.
    virtual void applyInputMode() = 0;

protected:
    ~IEditWindow() = default;
};

class ITabWindow {
public:
    // Replaces the tabs with the control's captions text; controls placed on pages
    // are destroyed.
    virtual void applyCaptions() = 0;
    // Places the page windows in the display area and shows the selected one only.
    virtual void arrangePageWindows() = 0;
    // The selected tab, -1 for none.
    virtual std::int32_t currentSelection() const = 0;

protected:
    ~ITabWindow() = default;
};
