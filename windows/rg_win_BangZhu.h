#pragma once
// rg_win_BangZhu: the help window, a small modal form showing the usage notes in a
// read-only, multi-line edit box. It binds no events of its own.
#include "runtime/gui/WinForm.h"
#include "runtime/gui/rg_edit_box.h"

namespace rg_quelt_app {

// The usage notes, thirteen lines and, after an empty one, the version ("版本：1.0.0"),
// joined by CR LF.
extern const char16_t* const kHelpText;

class rg_win_BangZhu : public rg_quelt_WTLJieMian_base::CQueltWinForm {
    QUELT_CLASS(rg_win_BangZhu)

public:
    rg_win_BangZhu();
    ~rg_win_BangZhu() override;

    // Creates the window modal with a dialog frame, owned by the main window, and
    // returns its modal result when the user has closed it (-1 by the close box or
    // Esc; also -1 when it could not be created).
    std::int32_t openModal();

    // Where the history of the jobs is kept (empty: nowhere), told under the notes.
    void setHistoryLog(const CWString& file) { historyLog_ = file; }
    // The notes, and under them "更新记录：" and `historyLog` unless it is empty.
    static CWString helpText(const CWString& historyLog);

    rg_quelt_WTLJieMian_base::rg_edit_box helpWindowText;

protected:
    void build() override;

private:
    CWString historyLog_;
};

} // namespace rg_quelt_app
