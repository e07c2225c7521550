#include "windows/ListBoxRowTable.h"

#include "runtime/gui/rg_ChaoJiLieBiaoKuang.h"
#include "runtime/gui/rg_ChaoJiLieBiaoKuangBiaoXiangTianChong.h"
#include "runtime/platform/SystemInfo.h"
#include "updater/MemoryRowTable.h"

#include <algorithm>
#include <climits>

using rg_quelt_WTLJieMian_KuoZhanZuJian::rg_ChaoJiLieBiaoKuang;
using rg_quelt_WTLJieMian_KuoZhanZuJian::rg_ChaoJiLieBiaoKuangBiaoXiangTianChong;

namespace rg_quelt_app {

namespace {

std::int32_t listIndex(std::size_t row) {
    return static_cast<std::int32_t>(std::min<std::size_t>(row, INT_MAX));
}

} // namespace

ListBoxRowTable::ListBoxRowTable(rg_ChaoJiLieBiaoKuang& list)
    : rows_(MemoryRowTable::create()), ownerThread_(platform::currentThreadId()), list_(&list),
      notices_(platform::createNoticeWindow(this)) {}

ListBoxRowTable::~ListBoxRowTable() {
    // Normally detach() has taken the notice window down on its own thread already.
    if (notices_ && onOwnerThread())
        platform::destroyNoticeWindow(notices_);
    rows_->release();
}

bool ListBoxRowTable::onOwnerThread() const { return platform::currentThreadId() == ownerThread_; }

void ListBoxRowTable::detach() {
    platform::NoticeWindow* notices = nullptr;
    {
        platform::CriticalSectionLock guard(viewLock_);
        detached_.store(true, std::memory_order_release);
        list_ = nullptr;
        notices = notices_;
        notices_ = nullptr;
        pending_ = Pending();
    }
    // Notices still queued for this table go with their window.
    platform::destroyNoticeWindow(notices);
    rows_->clearRows();
}

void ListBoxRowTable::fillCell(rg_ChaoJiLieBiaoKuangBiaoXiangTianChong& item) const {
    if (item.row >= 0)
        item.text = rows_->getCellText(static_cast<std::size_t>(item.row), item.column);
}

void ListBoxRowTable::changed(Change change, std::size_t row) {
    platform::CriticalSectionLock guard(viewLock_);
    if (!notices_)
        return;
    Pending& p = pending_;
    switch (change) {
    case Change::cleared:
        // The cells noted so far belonged to rows that are gone.
        p.cleared = p.countChanged = true;
        p.firstRow = SIZE_MAX;
        p.lastRow = 0;
        break;
    case Change::count:
        p.countChanged = true;
        break;
    case Change::cell:
        p.firstRow = std::min(p.firstRow, row);
        p.lastRow = std::max(p.lastRow, row);
        break;
    }
    // Also on the window's own thread the list hears of it only on the next turn of
    // its message loop: told row by row, a fill of 20,000 rows would cost minutes.
    if (holds_ == 0 && !p.posted)
        p.posted = platform::postNotice(notices_, 0, 0);
}

void ListBoxRowTable::showChanges() {
    Pending p;
    rg_ChaoJiLieBiaoKuang* list = nullptr;
    {
        platform::CriticalSectionLock guard(viewLock_);
        p = pending_;
        pending_ = Pending();
        list = list_;
    }
    // Outside the lock: the list view asks for cells while it is told.
    if (!list)
        return;
    if (p.cleared)
        list->clearRows(); // no selection and no scrolling left from the rows before
    if (p.countChanged)
        list->setRowCount(listIndex(rows_->rowCount()));
    if (p.firstRow <= p.lastRow)
        list->redrawRows(listIndex(p.firstRow), listIndex(p.lastRow));
}

std::intptr_t ListBoxRowTable::onNotice(std::uintptr_t, std::uintptr_t, std::uintptr_t) {
    showChanges();
    return 0;
}

void ListBoxRowTable::holdRedraw(bool hold) {
    bool showNow = false;
    {
        platform::CriticalSectionLock guard(viewLock_);
        if (hold) {
            ++holds_;
            return;
        }
        if (holds_ > 0)
            --holds_;
        if (holds_ > 0 || !notices_)
            return;
        if (onOwnerThread())
            showNow = true;
        else if (!pending_.posted)
            pending_.posted = platform::postNotice(notices_, 0, 0);
    }
    if (showNow)
        showChanges();
}

std::size_t ListBoxRowTable::rowCount() const { return rows_->rowCount(); }

void ListBoxRowTable::clearRows() {
    if (abandoned())
        return;
    rows_->clearRows();
    changed(Change::cleared, 0);
}

std::size_t ListBoxRowTable::appendRow(const CWString& firstColumn) {
    if (abandoned())
        return 0;
    const std::size_t row = rows_->appendRow(firstColumn);
    changed(Change::count, row);
    return row;
}

std::size_t ListBoxRowTable::appendFilledRow(CWString (&cells)[kColumnCount]) {
    if (abandoned())
        return 0;
    const std::size_t row = rows_->appendFilledRow(cells);
    changed(Change::count, row);
    return row;
}

CWString ListBoxRowTable::getCellText(std::size_t row, int column) const {
    return rows_->getCellText(row, column);
}

void ListBoxRowTable::setCellText(std::size_t row, int column, const CWString& text) {
    if (abandoned())
        return;
    rows_->setCellText(row, column, text);
    changed(Change::cell, row);
}

bool ListBoxRowTable::setCellTextIfShows(std::size_t row, int column, const CWString& text,
                                         const CWString& name, const CWString& localFile) {
    if (abandoned() || !rows_->setCellTextIfShows(row, column, text, name, localFile))
        return false;
    changed(Change::cell, row);
    return true;
}

} // namespace rg_quelt_app
