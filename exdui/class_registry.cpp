#include "class_registry.h"

#include <deque>
#include <map>
#include <memory>
#include <string>

namespace exdui {
namespace {

// Built-in implementations are named in a class's flags by their place in
// this list, so that a derived class copying the flags gets the same one.
constexpr int TagShift = 16;
constexpr int32_t TagMask = 0xFF << TagShift;

std::deque<BuiltinClass>& Builtins() {
    static std::deque<BuiltinClass> builtins;
    return builtins;
}

std::map<std::u16string, std::unique_ptr<ClassRecord>, std::less<>>& Classes() {
    static std::map<std::u16string, std::unique_ptr<ClassRecord>, std::less<>> classes;
    return classes;
}

// Lower case for the letters of the alphabets whose cases a class name may
// differ by: Latin (ASCII and Latin-1), Greek and Cyrillic.
char16_t FoldCase(char16_t c) {
    const bool upper = (c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
                       (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) || (c >= 0x410 && c <= 0x42F);
    if (upper) {
        return static_cast<char16_t>(c + 0x20);
    }
    if (c >= 0x400 && c <= 0x40F) {
        return static_cast<char16_t>(c + 0x50);
    }
    return c;
}

std::u16string Key(std::u16string_view name) {
    std::u16string key(name);
    for (char16_t& c : key) {
        c = FoldCase(c);
    }
    return key;
}

}  // namespace

void RegisterBuiltinClass(const BuiltinClass& cls) {
    Builtins().push_back(cls);
    const BuiltinClass& stored = Builtins().back();
    ClassRecord record;
    record.name = stored.name;
    record.style = stored.style;
    record.styleEx = stored.styleEx;
    record.textFormat = stored.textFormat;
    record.flags = static_cast<int32_t>(Builtins().size()) << TagShift;
    record.proc = stored.proc;
    record.base = &stored;
    AddClass(std::move(record));
}

const BuiltinClass* BaseFromFlags(int32_t flags) {
    int tag = (flags & TagMask) >> TagShift;
    if (tag < 1 || static_cast<size_t>(tag) > Builtins().size()) {
        return nullptr;
    }
    return &Builtins()[static_cast<size_t>(tag - 1)];
}

const ClassRecord* FindClass(std::u16string_view name) {
    auto it = Classes().find(Key(name));
    return it == Classes().end() ? nullptr : it->second.get();
}

bool SameClassName(std::u16string_view a, std::u16string_view b) {
    return Key(a) == Key(b);
}

bool AddClass(ClassRecord record) {
    std::u16string key = Key(record.name);
    if (key.empty() || FindClass(key) != nullptr || record.proc == nullptr) {
        return false;
    }
    Classes().emplace(std::move(key), std::make_unique<ClassRecord>(std::move(record)));
    return true;
}

void RegisterBuiltinClasses() {
    if (!Builtins().empty()) {
        return;
    }
    RegisterStaticClass();
    RegisterEditClass();
    RegisterComboBoxClass();
    RegisterProgressBarClass();
    RegisterGroupBoxClass();
    RegisterRadioButtonClass();
    RegisterListClasses();
}

void ClearClasses() {
    // Objects are gone by now; built-in records stay for a later Ex_Init.
    Classes().clear();
    Builtins().clear();
}

}  // namespace exdui
