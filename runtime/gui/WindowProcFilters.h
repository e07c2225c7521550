#pragma once
// CQueltWindowProcFilters: the filters a framework window offers each of its
// messages to before its own handling. The list does not own its filters: a filter
// removes itself (remove window filter message) before it goes away.
#include <cstdint>

class IQueltWindowProcFilter {
public:
    // True when the filter consumed the message; `result` is then the answer.
    virtual bool filterMessage(std::uintptr_t window, std::uint32_t message, std::uintptr_t wparam,
                               std::intptr_t lparam, std::intptr_t& result) = 0;

protected:
    ~IQueltWindowProcFilter() = default;

private:
    friend class CQueltWindowProcFilters;
    IQueltWindowProcFilter* nextFilter_ = nullptr;
};

class CQueltWindowProcFilters {
public:
    CQueltWindowProcFilters() = default;
    CQueltWindowProcFilters(const CQueltWindowProcFilters&) = delete;
    CQueltWindowProcFilters& operator=(const CQueltWindowProcFilters&) = delete;
    ~CQueltWindowProcFilters() { clear(); }

    // Puts the filter in front; a filter already listed stays where it is.
    void add(IQueltWindowProcFilter* filter);
    // False when the filter was not listed.
    bool remove(IQueltWindowProcFilter* filter);
    bool contains(const IQueltWindowProcFilter* filter) const;
    // From the front, up to the first filter that consumes.
    bool run(std::uintptr_t window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam,
             std::intptr_t& result);
    void clear();
    bool empty() const { return head_ == nullptr; }

private:
    IQueltWindowProcFilter* head_ = nullptr;
};
