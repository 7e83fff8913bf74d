#include "class_registry.h"

#include <deque>
#include <map>
#include <memory>

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

std::map<QString, std::unique_ptr<ClassRecord>>& Classes() {
    static std::map<QString, std::unique_ptr<ClassRecord>> classes;
    return classes;
}

QString Key(const QString& name) {
    return name.toCaseFolded();
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

const ClassRecord* FindClass(const QString& name) {
    auto it = Classes().find(Key(name));
    return it == Classes().end() ? nullptr : it->second.get();
}

const ClassRecord* FindClass(std::u16string_view name) {
    return FindClass(QString::fromUtf16(name.data(), static_cast<qsizetype>(name.size())));
}

bool SameClassName(std::u16string_view a, std::u16string_view b) {
    return Key(QString::fromUtf16(a.data(), static_cast<qsizetype>(a.size()))) ==
           Key(QString::fromUtf16(b.data(), static_cast<qsizetype>(b.size())));
}

bool AddClass(ClassRecord record) {
    QString key = Key(QString::fromStdU16String(record.name));
    if (key.isEmpty() || FindClass(key) != nullptr || record.proc == nullptr) {
        return false;
    }
    Classes().emplace(key, std::make_unique<ClassRecord>(std::move(record)));
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
