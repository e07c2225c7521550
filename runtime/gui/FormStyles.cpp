#include "runtime/gui/FormStyles.h"

#include "runtime/gui/GuiConstants.h"

namespace quelt_gui {

void applyFormStyles(const FormStyleInput& in, CWString& caption, std::uint32_t& style,
                     std::uint32_t& exStyle) {
    exStyle |= kWsExControlParent;
    style |= kWsClipChildren;
    if (caption.isEmpty() && in.titleBar)
        caption = kDefaultFormCaption;
    if (in.borderKind != 0) {
        style |= kWsDlgFrame;
        if (!caption.isEmpty() || in.titleBar)
            style |= kWsCaption;
        if (in.titleBar)
            style |= kWsSysMenu | kWsBorder;
        if (in.borderKind == 1 || in.borderKind == 3 || in.borderKind == 5)
            style |= kWsThickFrame;
        if (in.borderKind == 3 || in.borderKind == 4)
            exStyle |= kWsExToolWindow;
        if (in.borderKind == 5 || in.borderKind == 6)
            exStyle |= kWsExClientEdge;
    }
    if (in.maximiseBox)
        style |= kWsMaximizeBox;
    if (in.minimiseBox)
        style |= kWsMinimizeBox;
    if (in.initialState == 2)
        style |= kWsMinimize;
    else if (in.initialState == 3)
        style |= kWsMaximize;
    if (in.hasParent && (style & (kWsChild | kWsPopup)) == 0)
        style |= kWsPopup;
}

std::uint32_t captionBits(const FormStyleInput& in, std::u16string_view caption) {
    if (in.borderKind == 0)
        return 0;
    std::uint32_t bits = 0;
    if (in.titleBar)
        bits = kWsCaption | kWsSysMenu;
    else if (!caption.empty() && caption != std::u16string_view(kDefaultFormCaption))
        bits = kWsCaption;
    else
        // Without a caption bar the dialog frame stays.
        bits = kWsDlgFrame;
    if (in.maximiseBox)
        bits |= kWsMaximizeBox;
    if (in.minimiseBox)
        bits |= kWsMinimizeBox;
    return bits;
}

} // namespace quelt_gui
