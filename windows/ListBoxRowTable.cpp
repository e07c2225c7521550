#include "windows/ListBoxRowTable.h"

#include "runtime/gui/rg_ChaoJiLieBiaoKuang.h"
#include "runtime/platform/SystemInfo.h"

namespace rg_quelt_app {

enum class ListBoxRowTable::Operation : std::uintptr_t {
    count,
    clear,
    append,
    appendFilled,
    get,
    set,
    setIfShows,
    redraw
};

// One operation with its arguments and its answer, carried by address to the list
// box's thread while the caller waits.
struct ListBoxRowTable::Call {
    explicit Call(Operation what) : operation(what) {}

    Operation operation;
    std::size_t row = 0;
    int column = 0;
    const CWString* text = nullptr;
    const CWString* name = nullptr;
    const CWString* localFile = nullptr;
    CWString* cells = nullptr;
    std::size_t count = 0;
    bool redrawOn = false;
    bool done = false;
    CWString read;
};

ListBoxRowTable::ListBoxRowTable(rg_quelt_WTLJieMian_KuoZhanZuJian::rg_ChaoJiLieBiaoKuang& list)
    : list_(&list), notices_(platform::createNoticeWindow(this)), ownerThread_(platform::currentThreadId()) {}

ListBoxRowTable::~ListBoxRowTable() {
    // The receiver window belongs to its thread. A table released last by the worker
    // (the window was closed during a download, so the process is ending) leaves its
    // window to the end of the process; nobody can reach it any more.
    if (platform::currentThreadId() == ownerThread_)
        platform::destroyNoticeWindow(notices_);
}

void ListBoxRowTable::detach() {
    detached_.store(true, std::memory_order_release);
    list_ = nullptr;
}

void ListBoxRowTable::run(Call& call) const {
    if (detached_.load(std::memory_order_acquire))
        return;
    if (platform::currentThreadId() == ownerThread_)
        const_cast<ListBoxRowTable*>(this)->perform(call);
    else if (notices_)
        platform::sendNotice(notices_, reinterpret_cast<std::uintptr_t>(&call), 0, 0);
}

std::intptr_t ListBoxRowTable::onNotice(std::uintptr_t first, std::uintptr_t, std::uintptr_t) {
    perform(*reinterpret_cast<Call*>(first));
    return 1;
}

// On the list box's thread only.
void ListBoxRowTable::perform(Call& call) {
    auto* list = list_;
    if (!list)
        return;
    const std::int32_t rows = list->rowCount();
    const bool cellExists = call.row < static_cast<std::size_t>(rows > 0 ? rows : 0) && call.column >= 0 &&
                            call.column < kColumnCount;
    const auto row = static_cast<std::int32_t>(call.row);
    switch (call.operation) {
    case Operation::count:
        call.count = rows > 0 ? static_cast<std::size_t>(rows) : 0;
        break;
    case Operation::clear:
        list->clearRows();
        break;
    case Operation::append: {
        const std::int32_t index = list->appendRow(*call.text);
        call.done = index >= 0;
        call.count = index >= 0 ? static_cast<std::size_t>(index) : 0;
        break;
    }
    case Operation::appendFilled: {
        const std::int32_t index = list->appendRow(call.cells[0]);
        call.done = index >= 0;
        if (index >= 0) {
            for (int column = 1; column < kColumnCount; ++column)
                if (!call.cells[column].isEmpty())
                    list->setCellText(index, column, call.cells[column]);
            call.count = static_cast<std::size_t>(index);
        }
        break;
    }
    case Operation::get:
        if (cellExists)
            call.read = list->getCellText(row, call.column);
        break;
    case Operation::set:
        if (cellExists)
            list->setCellText(row, call.column, *call.text);
        break;
    case Operation::redraw:
        list->setRedraw(call.redrawOn);
        break;
    case Operation::setIfShows:
        if (cellExists && rowShowsFile(list->getCellText(row, kColumnName),
                                       list->getCellText(row, kColumnPath), *call.name, *call.localFile))
            call.done = list->setCellText(row, call.column, *call.text);
        break;
    }
}

std::size_t ListBoxRowTable::rowCount() const {
    Call call(Operation::count);
    run(call);
    return call.count;
}

void ListBoxRowTable::clearRows() {
    Call call(Operation::clear);
    run(call);
}

std::size_t ListBoxRowTable::appendRow(const CWString& firstColumn) {
    Call call(Operation::append);
    call.text = &firstColumn;
    run(call);
    return call.count;
}

std::size_t ListBoxRowTable::appendFilledRow(CWString (&cells)[kColumnCount]) {
    Call call(Operation::appendFilled);
    call.cells = cells;
    run(call);
    return call.count;
}

CWString ListBoxRowTable::getCellText(std::size_t row, int column) const {
    Call call(Operation::get);
    call.row = row;
    call.column = column;
    run(call);
    return call.read;
}

void ListBoxRowTable::setCellText(std::size_t row, int column, const CWString& text) {
    Call call(Operation::set);
    call.row = row;
    call.column = column;
    call.text = &text;
    run(call);
}

void ListBoxRowTable::holdRedraw(bool hold) {
    Call call(Operation::redraw);
    call.redrawOn = !hold;
    run(call);
}

bool ListBoxRowTable::setCellTextIfShows(std::size_t row, int column, const CWString& text,
                                         const CWString& name, const CWString& localFile) {
    Call call(Operation::setIfShows);
    call.row = row;
    call.column = column;
    call.text = &text;
    call.name = &name;
    call.localFile = &localFile;
    run(call);
    return call.done;
}

} // namespace rg_quelt_app
