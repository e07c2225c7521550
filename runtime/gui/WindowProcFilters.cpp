#include "runtime/gui/WindowProcFilters.h"

void CQueltWindowProcFilters::add(IQueltWindowProcFilter* filter) {
    if (!filter || contains(filter))
        return;
    filter->nextFilter_ = head_;
    head_ = filter;
}

bool CQueltWindowProcFilters::remove(IQueltWindowProcFilter* filter) {
    for (IQueltWindowProcFilter** link = &head_; *link; link = &(*link)->nextFilter_) {
        if (*link == filter) {
            *link = filter->nextFilter_;
            filter->nextFilter_ = nullptr;
            return true;
        }
    }
    return false;
}

bool CQueltWindowProcFilters::contains(const IQueltWindowProcFilter* filter) const {
    for (const IQueltWindowProcFilter* f = head_; f; f = f->nextFilter_)
        if (f == filter)
            return true;
    return false;
}

bool CQueltWindowProcFilters::run(std::uintptr_t window, std::uint32_t message, std::uintptr_t wparam,
                                  std::intptr_t lparam, std::intptr_t& result) {
    for (IQueltWindowProcFilter* f = head_; f;) {
        // A filter may remove itself while it runs.
        IQueltWindowProcFilter* next = f->nextFilter_;
        if (f->filterMessage(window, message, wparam, lparam, result))
            return true;
        f = next;
    }
    return false;
}

void CQueltWindowProcFilters::clear() {
    while (head_) {
        IQueltWindowProcFilter* f = head_;
        head_ = f->nextFilter_;
        f->nextFilter_ = nullptr;
    }
}
