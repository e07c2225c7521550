#pragma once
// ListBoxRowTable: the rows of a module tab, kept in memory and shown by the tab's
// super list box in owner-data mode. The list view asks for the cells it paints
// (fillCell), so a fill of 20,000 rows costs what writing them to memory costs,
// and the list hears of it once, as its new row count.
//
// Every operation is safe from any thread and none waits for the window's thread:
// a change goes to the rows under their lock, and the list is told afterwards.
// Changes are gathered and reach the list in one posted notice on the next turn of
// the window's message loop, so a burst of outcome writes costs one repaint of the
// rows in view. Released on the window's thread, holdRedraw tells the list at once,
// so after a held fill the list box shows its new rows (and their count) already.
//
// Made on the user-interface thread, which owns the notice window. The window that
// owns the list box calls detach() there before the list box goes; from then on
// the table has no rows, writes do nothing and abandoned() is true, whichever
// thread still holds a reference (a running worker does).
#include "runtime/platform/CriticalSection.h"
#include "runtime/platform/NoticeReceiver.h"
#include "updater/ModuleRowTable.h"

#include <atomic>
#include <cstdint>

namespace rg_quelt_WTLJieMian_KuoZhanZuJian {
class rg_ChaoJiLieBiaoKuang;
class rg_ChaoJiLieBiaoKuangBiaoXiangTianChong;
} // namespace rg_quelt_WTLJieMian_KuoZhanZuJian

namespace rg_quelt_app {

// The column definition of a module list: the six columns "序号", "方式", "文件名称",
// "路径", "更新时间" and "大小" with their widths.
inline constexpr const char16_t* kModuleListColumns =
    u"0\n-1\n0\n50\n序号\n0\n-1\n0\n70\n方式\n0\n-1\n0\n200\n文件名称\n"
    u"0\n-1\n0\n200\n路径\n0\n-1\n0\n100\n更新时间\n0\n-1\n0\n70\n大小";

class MemoryRowTable;

class ListBoxRowTable final : public ModuleRowTable, private IQueltNoticeReceiver {
public:
    // `list` must be an owner-data list whose item fill reaches fillCell.
    explicit ListBoxRowTable(rg_quelt_WTLJieMian_KuoZhanZuJian::rg_ChaoJiLieBiaoKuang& list);

    // On the user-interface thread, before the list box is destroyed.
    void detach();

    // On the list box's thread: the text of the cell the list view asks for.
    void fillCell(rg_quelt_WTLJieMian_KuoZhanZuJian::rg_ChaoJiLieBiaoKuangBiaoXiangTianChong& item) const;

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

    enum class Change { cell, count, cleared };
    // What the list has not been told yet. Guarded by viewLock_.
    struct Pending {
        bool cleared = false;
        bool countChanged = false;
        std::size_t firstRow = SIZE_MAX; // changed cells, as one range
        std::size_t lastRow = 0;
        bool posted = false; // a notice is on its way to the window's thread
    };

    // Notes a change of `row` and has it shown: by a posted notice, or when the hold
    // ends.
    void changed(Change change, std::size_t row);
    // On the list box's thread: tells the list everything pending.
    void showChanges();
    bool onOwnerThread() const;
    std::intptr_t onNotice(std::uintptr_t first, std::uintptr_t second, std::uintptr_t third) override;

    MemoryRowTable* const rows_;
    const std::uint64_t ownerThread_;
    mutable platform::CriticalSection viewLock_;
    // Guarded by viewLock_; both null once detached. The list box is used only on
    // its own thread.
    rg_quelt_WTLJieMian_KuoZhanZuJian::rg_ChaoJiLieBiaoKuang* list_;
    platform::NoticeWindow* notices_;
    int holds_ = 0;
    Pending pending_;
    std::atomic<bool> detached_{false};
};

} // namespace rg_quelt_app
