#include "handle_table.h"

#include <mutex>
#include <unordered_map>

namespace exdui::handles {
namespace {

struct Entry {
    Kind kind;
    void* raw;
    std::shared_ptr<void> shared;
};

struct Table {
    std::mutex mu;
    std::unordered_map<ExHandle, Entry> entries;  // Under mu.
    ExHandle next = 0x1000;                       // Under mu.
};

Table& TheTable() {
    static Table* table = new Table;  // Never destroyed: workers may still look up at exit.
    return *table;
}

ExHandle Add(Kind kind, void* raw, std::shared_ptr<void> shared) {
    Table& t = TheTable();
    std::lock_guard lock(t.mu);
    if (t.next == INT32_MAX) {
        return 0;
    }
    ExHandle handle = t.next++;
    t.entries.emplace(handle, Entry{kind, raw, std::move(shared)});
    return handle;
}

}  // namespace

ExHandle AddRaw(Kind kind, void* item) {
    return Add(kind, item, nullptr);
}

ExHandle AddShared(Kind kind, std::shared_ptr<void> item) {
    void* raw = item.get();
    return Add(kind, raw, std::move(item));
}

void Remove(ExHandle handle) {
    std::shared_ptr<void> keep;  // Released outside the lock.
    Table& t = TheTable();
    std::lock_guard lock(t.mu);
    auto it = t.entries.find(handle);
    if (it != t.entries.end()) {
        keep = std::move(it->second.shared);
        t.entries.erase(it);
    }
}

bool KindOf(ExHandle handle, Kind* kind) {
    Table& t = TheTable();
    std::lock_guard lock(t.mu);
    auto it = t.entries.find(handle);
    if (it == t.entries.end()) {
        return false;
    }
    *kind = it->second.kind;
    return true;
}

bool IsLive(ExHandle handle, Kind kind) {
    Kind k;
    return KindOf(handle, &k) && k == kind;
}

void* Raw(ExHandle handle, Kind kind) {
    Table& t = TheTable();
    std::lock_guard lock(t.mu);
    auto it = t.entries.find(handle);
    return it != t.entries.end() && it->second.kind == kind ? it->second.raw : nullptr;
}

std::shared_ptr<void> Shared(ExHandle handle, Kind kind) {
    Table& t = TheTable();
    std::lock_guard lock(t.mu);
    auto it = t.entries.find(handle);
    return it != t.entries.end() && it->second.kind == kind ? it->second.shared : nullptr;
}

void Clear() {
    std::unordered_map<ExHandle, Entry> gone;
    {
        Table& t = TheTable();
        std::lock_guard lock(t.mu);
        gone.swap(t.entries);
    }
}

}  // namespace exdui::handles
