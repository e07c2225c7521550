#pragma once
// ListBoxRowTable: a module tab's super list box seen as the list rules' row table.
// The list box lives on the user-interface thread; a call from any other thread (the
// download worker) is handed to that thread through a notice receiver and waits
// there, so every read and write of the rows happens on the window's own thread and
// setCellTextIfShows is one step that no refill can cut into.
//
// Made on the user-interface thread. The window that owns the list box calls
// detach() before the list box goes; from then on the table has no rows and writes
// do nothing, whichever thread still holds a reference (a running worker does).
#include "runtime/platform/NoticeReceiver.h"
#include "updater/ModuleRowTable.h"

#include <atomic>
#include <cstdint>

namespace rg_quelt_WTLJieMian_KuoZhanZuJian {
class rg_ChaoJiLieBiaoKuang;
}

namespace rg_quelt_app {

class ListBoxRowTable final : public ModuleRowTable, private IQueltNoticeReceiver {
public:
    explicit ListBoxRowTable(rg_quelt_WTLJieMian_KuoZhanZuJian::rg_ChaoJiLieBiaoKuang& list);

    // On the user-interface thread, before the list box is destroyed.
    void detach();

    std::size_t rowCount() const override;
    void clearRows() override;
    std::size_t appendRow(const CWString& firstColumn) override;
    std::size_t appendFilledRow(CWString (&cells)[kColumnCount]) override;
    CWString getCellText(std::size_t row, int column) const override;
    void setCellText(std::size_t row, int column, const CWString& text) override;
    bool setCellTextIfShows(std::size_t row, int column, const CWString& text, const CWString& name,
                            const CWString& localFile) override;
    bool abandoned() const override { return detached_.load(std::memory_order_acquire); }
    void holdRedraw(bool hold) override;

private:
    ~ListBoxRowTable() override;

    enum class Operation : std::uintptr_t;
    struct Call;
    // Runs `call` on the list box's thread (directly when already there).
    void run(Call& call) const;
    void perform(Call& call);
    std::intptr_t onNotice(std::uintptr_t first, std::uintptr_t second, std::uintptr_t third) override;

    // Touched only on the owning thread.
    rg_quelt_WTLJieMian_KuoZhanZuJian::rg_ChaoJiLieBiaoKuang* list_;
    platform::NoticeWindow* notices_;
    const std::uint64_t ownerThread_;
    std::atomic<bool> detached_{false};
};

} // namespace rg_quelt_app
