#pragma once
// CQueltObject: the root of every runtime class. It brings the allocator, the class
// identity, value semantics through virtual operations (equals, copy, assign, reset,
// text form, stream save and load) and a flags word whose bit 0 marks a null
// instance: an object that stands for an omitted argument or an absent value.
//
// The eighteen virtual operations are declared in their fixed slot order.
// Derived classes declare themselves with QUELT_CLASS and define their record with
// QUELT_DEFINE_CLASS; that supplies the record, the factory, copy and assign.
#include "runtime/core/ClassRecord.h"

#include <cstddef>
#include <cstdint>

class CPoolMem;
class CWString;
class CQueltObjectStream;

class CQueltObject {
public:
    static constexpr std::uint64_t kNullInstance = 1u << 0;
    static constexpr std::uint64_t kDestroying = 1u << 1;

    // Delete flags of destroy().
    static constexpr unsigned kFreeMemory = 1u << 0;
    static constexpr unsigned kFreeWithGeneralHeap = 1u << 2;

    CQueltObject() = default;
    CQueltObject(const CQueltObject& other)
        : flags_(other.flags_ & ~kDestroying), associated_(other.associated_) {}
    CQueltObject& operator=(const CQueltObject& other) {
        flags_ = (other.flags_ & ~kDestroying) | (flags_ & kDestroying);
        associated_ = other.associated_;
        return *this;
    }

    // Slots 0-4: the allocator.
    virtual void* allocate(std::size_t bytes) const;
    virtual void* tryAllocate(std::size_t bytes) const;
    virtual void* reallocate(void* block, std::size_t bytes) const;
    virtual void freeMemory(void* block) const;
    virtual CPoolMem& allocator() const;
    // Slot 5.
    virtual const CQueltClassRecord& classRecord() const;
    // Slot 6: same class, same null flag and associated word, equal contents.
    virtual bool equals(const CQueltObject& other) const;
    // Slots 7-8: new objects from the runtime allocator; the caller owns them.
    virtual CQueltObject* createDefault() const;
    virtual CQueltObject* clone() const;
    // Slot 9: false, and no change, when `other` is not an instance of this class.
    virtual bool assign(const CQueltObject& other);
    // Slot 10.
    virtual void reset();
    // Slot 11: runs the destructor chain; kFreeMemory also frees the storage.
    virtual void destroy(unsigned deleteFlags);
    // Slot 12.
    virtual void destroyAndFree();
    // Slot 13.
    virtual bool isInstanceOf(const CQueltClassRecord& record) const;
    // Slot 14.
    virtual void toText(CWString& out) const;
    // Slots 15-16: false when the stream failed.
    virtual bool save(CQueltObjectStream& stream) const;
    virtual bool load(CQueltObjectStream& stream);
    // Slot 17: drop the current contents before an assignment.
    virtual void releaseContents();

    virtual ~CQueltObject() = default;

    static const CQueltClassRecord& staticClassRecord();

    bool isNullInstance() const { return (flags_ & kNullInstance) != 0; }
    void setNullInstance(bool isNull) {
        flags_ = isNull ? (flags_ | kNullInstance) : (flags_ & ~kNullInstance);
    }
    bool isBeingDestroyed() const { return (flags_ & kDestroying) != 0; }
    std::uint64_t flags() const { return flags_; }
    std::uint64_t associatedWord() const { return associated_; }
    void setAssociatedWord(std::uint64_t word) { associated_ = word; }

    static void* operator new(std::size_t bytes);
    static void operator delete(void* block);
    static void* operator new(std::size_t, void* place) noexcept { return place; }
    static void operator delete(void*, void*) noexcept {}

protected:
    // The part of equals() that every class shares.
    bool sameHeader(const CQueltObject& other) const {
        return classRecord().sameClassAs(other.classRecord()) && isNullInstance() == other.isNullInstance() &&
               associated_ == other.associated_;
    }

private:
    std::uint64_t flags_ = 0;
    std::uint64_t associated_ = 0;
};

// Inside the class body of a runtime class.
#define QUELT_CLASS(ClassName)                                                                               \
public:                                                                                                      \
    static const CQueltClassRecord& staticClassRecord();                                                     \
    const CQueltClassRecord& classRecord() const override { return staticClassRecord(); }                    \
    CQueltObject* createDefault() const override { return new ClassName(); }                                 \
    CQueltObject* clone() const override { return new ClassName(*this); }                                    \
    bool assign(const CQueltObject& other) override {                                                        \
        if (&other == this)                                                                                  \
            return true;                                                                                     \
        if (!other.isInstanceOf(staticClassRecord()))                                                        \
            return false;                                                                                    \
        releaseContents();                                                                                   \
        *this = static_cast<const ClassName&>(other);                                                        \
        return true;                                                                                         \
    }                                                                                                        \
                                                                                                             \
private:

// In the class's source file: the record, built on first use.
#define QUELT_DEFINE_CLASS(ClassName, BaseName, QualifiedName)                                               \
    const CQueltClassRecord& ClassName::staticClassRecord() {                                                \
        static const CQueltClassRecord record = makeClassRecord(                                             \
            QualifiedName, []() -> CQueltObject* { return new ClassName(); }, &BaseName::staticClassRecord); \
        return record;                                                                                       \
    }
