#pragma once

#include "app/recordio.h"
#include "app/storabletext.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <limits>
#include <span>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>

namespace orv {

// Record layouts as tables. Every record format of the data files is written
// down once, as a table of its fields (name, offset, width, kind and the
// member that holds the value); reading, writing and the data tool's dump
// all walk that table, so a field's place is spelled in one spot only.

// How a field's bytes are kept in the record.
enum class FieldKind : quint8 {
    Int16,    // 16-bit little-endian integer; wider values are written clamped
    Int32,    // 32-bit little-endian integer
    Bool,     // 16-bit: -1 true, 0 false; any non-zero value reads as true
    Single16, // a Single kept as a 16-bit integer: halves to even, clamped
    Text,     // code page 1252, cut to the width, blank-padded; read trimmed of blanks
    RawText,  // as Text, but read with its padding as stored
    Address,  // as Text; an address outside the code page is kept in its ASCII form
};

// Where a field's value comes from when the record is written.
enum class FieldRole : quint8 {
    Value,    // the member, both ways
    Position, // the record's 1-based place in its file; read back into the member
    Marker,   // the field's constant; kept in no member
};

// Whether the data tool's dump shows the field.
enum class FieldDump : quint8 {
    Always,
    OnRequest, // only when asked for (passwords)
    Never,
};

// Width in bytes of the fixed-size kinds; 0 for the texts.
constexpr int FieldKindWidth(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Int16:
    case FieldKind::Bool:
    case FieldKind::Single16:
        return 2;
    case FieldKind::Int32:
        return 4;
    case FieldKind::Text:
    case FieldKind::RawText:
    case FieldKind::Address:
        return 0;
    }
    return 0;
}

// One field of a record type R.
template <typename R> struct RecordField {
    template <typename T> using Ref = T& (*)(R&);
    using Access =
        std::variant<std::monostate, Ref<qint16>, Ref<qint32>, Ref<bool>, Ref<float>, Ref<QString>>;

    std::string_view name; // also the key of the dump
    int offset = 0;
    int width = 0;
    FieldKind kind = FieldKind::Int16;
    Access access;
    FieldRole role = FieldRole::Value;
    FieldDump dump = FieldDump::Always;
    qint16 constant = 0; // the value of a Marker

    constexpr int end() const { return offset + width; }
};

// The accessor of a data member, for the tables: FieldRef<&Bookmark::Titel>.
template <auto Member> struct MemberRef;
template <typename R, typename T, T R::*Member> struct MemberRef<Member> {
    static T& get(R& record) { return record.*Member; }
};
template <auto Member> inline constexpr auto FieldRef = &MemberRef<Member>::get;

// The accessor of a member of an array element: ElementRef<&R::mail, 2, &Mail::user>.
template <auto Array, std::size_t Index, auto Member> struct ElementMemberRef;
template <typename R, typename A, A R::*Array, std::size_t Index, typename E, typename T,
          T E::*Member>
struct ElementMemberRef<Array, Index, Member> {
    static T& get(R& record) { return (record.*Array)[Index].*Member; }
};
template <auto Array, std::size_t Index, auto Member>
inline constexpr auto ElementRef = &ElementMemberRef<Array, Index, Member>::get;

// Table entries.
template <typename R, typename T>
constexpr RecordField<R> NumberField(std::string_view name, int offset, FieldKind kind,
                                     T& (*ref)(R&), FieldRole role = FieldRole::Value,
                                     FieldDump dump = FieldDump::Always)
{
    return {name, offset, FieldKindWidth(kind), kind, typename RecordField<R>::Access(ref),
            role, dump};
}

template <typename R>
constexpr RecordField<R> TextField(std::string_view name, int offset, int width,
                                   QString& (*ref)(R&), FieldKind kind = FieldKind::Text,
                                   FieldDump dump = FieldDump::Always)
{
    return {name, offset, width, kind, typename RecordField<R>::Access(ref), FieldRole::Value,
            dump};
}

template <typename R>
constexpr RecordField<R> MarkerField(std::string_view name, int offset, qint16 value)
{
    return {name,
            offset,
            FieldKindWidth(FieldKind::Int16),
            FieldKind::Int16,
            std::monostate{},
            FieldRole::Marker,
            FieldDump::Always,
            value};
}

// The field of that name; naming a field the table lacks does not compile
// where the result is needed at compile time.
template <typename R>
constexpr const RecordField<R>& FieldNamed(std::span<const RecordField<R>> fields,
                                           std::string_view name)
{
    for (const RecordField<R>& f : fields)
        if (f.name == name)
            return f;
    throw "no field of that name";
}

// Bytes the fields cover together.
template <typename R> constexpr int FieldBytes(std::span<const RecordField<R>> fields)
{
    int bytes = 0;
    for (const RecordField<R>& f : fields)
        bytes += f.width;
    return bytes;
}

// A table is sound when every field lies inside the record, no two fields
// overlap or share a name, the fixed-size kinds have their width, and each
// field's member fits its kind.
template <typename R>
constexpr bool FieldsAreSound(std::span<const RecordField<R>> fields, int recordLength)
{
    using Field = RecordField<R>;
    for (size_t i = 0; i < fields.size(); ++i) {
        const Field& f = fields[i];
        if (f.offset < 0 || f.width <= 0 || f.end() > recordLength || f.name.empty())
            return false;
        const int fixed = FieldKindWidth(f.kind);
        if (fixed != 0 && f.width != fixed)
            return false;
        const bool none = std::holds_alternative<std::monostate>(f.access);
        const bool text = std::holds_alternative<typename Field::template Ref<QString>>(f.access);
        const bool flag = std::holds_alternative<typename Field::template Ref<bool>>(f.access);
        switch (f.kind) {
        case FieldKind::Text:
        case FieldKind::RawText:
        case FieldKind::Address:
            if (!text || f.role != FieldRole::Value)
                return false;
            break;
        case FieldKind::Bool:
            if (!flag || f.role != FieldRole::Value)
                return false;
            break;
        case FieldKind::Int16:
        case FieldKind::Int32:
        case FieldKind::Single16:
            if (text || flag || (none != (f.role == FieldRole::Marker)))
                return false;
            break;
        }
        for (size_t j = i + 1; j < fields.size(); ++j) {
            const Field& g = fields[j];
            if (f.name == g.name || (f.offset < g.end() && g.offset < f.end()))
                return false;
        }
    }
    return true;
}

// A field's value as the dump shows it.
using FieldValue = std::variant<qint64, bool, double, QString>;

struct FieldEntry {
    std::string_view name;
    FieldDump dump = FieldDump::Always;
    FieldValue value;
};

namespace recordfields_detail {

inline int clampToInt16(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<qint16>::min(),
                                  std::numeric_limits<qint16>::max()));
}

// The tables only read through the accessors when writing or dumping.
template <typename R> R& readable(const R& record)
{
    return const_cast<R&>(record);
}

// The number a member holds (0 for a field without one).
template <typename R> double memberNumber(const RecordField<R>& f, R& record)
{
    using Field = RecordField<R>;
    if (auto ref = std::get_if<typename Field::template Ref<qint16>>(&f.access))
        return (*ref)(record);
    if (auto ref = std::get_if<typename Field::template Ref<qint32>>(&f.access))
        return (*ref)(record);
    if (auto ref = std::get_if<typename Field::template Ref<float>>(&f.access))
        return (*ref)(record);
    return 0;
}

// Field I of a table known at compile time: its kind and member are
// constants, so reading and writing it compiles to the plain calls.
template <const auto& Fields, std::size_t I> struct Field {
    static constexpr const auto& field = Fields[I];
    using Entry = std::remove_cvref_t<decltype(field)>;
    template <typename T> static constexpr bool holds()
    {
        return std::holds_alternative<typename Entry::template Ref<T>>(field.access);
    }
    template <typename T> static constexpr auto ref()
    {
        return *std::get_if<typename Entry::template Ref<T>>(&field.access);
    }
    template <typename R> static auto number(R& record)
    {
        if constexpr (holds<qint16>())
            return ref<qint16>()(record);
        else if constexpr (holds<qint32>())
            return ref<qint32>()(record);
        else
            return ref<float>()(record);
    }
    template <typename R, typename V> static void setNumber(R& record, V value)
    {
        if constexpr (holds<qint16>())
            ref<qint16>()(record) = qint16(value);
        else if constexpr (holds<qint32>())
            ref<qint32>()(record) = qint32(value);
        else
            ref<float>()(record) = float(value);
    }
};

template <const auto& Fields, std::size_t I, typename R>
inline void writeField(R& record, RecordWriter& w, qint32 position)
{
    using F = Field<Fields, I>;
    constexpr const auto& f = F::field;
    if constexpr (f.kind == FieldKind::Text || f.kind == FieldKind::RawText) {
        w.putText(f.offset, f.width, F::template ref<QString>()(record));
    } else if constexpr (f.kind == FieldKind::Address) {
        w.putText(f.offset, f.width, StorableAddress(F::template ref<QString>()(record)));
    } else if constexpr (f.kind == FieldKind::Bool) {
        w.putBool(f.offset, F::template ref<bool>()(record));
    } else {
        const auto value = [&] {
            if constexpr (f.role == FieldRole::Position)
                return position;
            else if constexpr (f.role == FieldRole::Marker)
                return qint32(f.constant);
            else
                return F::number(record);
        }();
        if constexpr (f.kind == FieldKind::Int32)
            w.putInt32(f.offset, qint32(value));
        else if constexpr (f.kind == FieldKind::Single16)
            w.putInt16(f.offset, roundToInt16(float(value)));
        else
            w.putInt16(f.offset, clampToInt16(qint64(value)));
    }
}

template <const auto& Fields, std::size_t I, typename R>
inline void readField(const RecordReader& reader, R& record)
{
    using F = Field<Fields, I>;
    constexpr const auto& f = F::field;
    if constexpr (f.role == FieldRole::Marker)
        return;
    else if constexpr (f.kind == FieldKind::Text || f.kind == FieldKind::Address)
        F::template ref<QString>()(record) = reader.text(f.offset, f.width);
    else if constexpr (f.kind == FieldKind::RawText)
        F::template ref<QString>()(record) = reader.rawText(f.offset, f.width);
    else if constexpr (f.kind == FieldKind::Bool)
        F::template ref<bool>()(record) = reader.boolean(f.offset);
    else if constexpr (f.kind == FieldKind::Int32)
        F::setNumber(record, reader.int32(f.offset));
    else
        F::setNumber(record, reader.int16(f.offset));
}

} // namespace recordfields_detail

// Writes every field of `record` through `w`, in table order; `position` is
// the record's 1-based place in its file (for the Position fields).
template <const auto& Fields, typename R>
void WriteFields(const R& record, RecordWriter& w, qint32 position = 0)
{
    static_assert(std::is_same_v<std::remove_cvref_t<decltype(Fields[0])>, RecordField<R>>);
    R& r = recordfields_detail::readable(record);
    [&]<std::size_t... I>(std::index_sequence<I...>)
    {
        (recordfields_detail::writeField<Fields, I>(r, w, position), ...);
    }
    (std::make_index_sequence<std::size(Fields)>{});
}

// Reads every field of the record bytes into `record` (a short record reads
// as padded with NULs). Markers are not kept.
template <const auto& Fields, typename R> void ReadFields(QByteArrayView bytes, R& record)
{
    static_assert(std::is_same_v<std::remove_cvref_t<decltype(Fields[0])>, RecordField<R>>);
    const RecordReader reader(bytes);
    [&]<std::size_t... I>(std::index_sequence<I...>)
    {
        (recordfields_detail::readField<Fields, I>(reader, record), ...);
    }
    (std::make_index_sequence<std::size(Fields)>{});
}

// The value of one field of `record`, as read back (a Marker shows its
// constant).
template <typename R> FieldValue FieldValueOf(const RecordField<R>& f, const R& record)
{
    namespace d = recordfields_detail;
    using Field = RecordField<R>;
    R& r = d::readable(record);
    if (f.role == FieldRole::Marker)
        return qint64(f.constant);
    if (auto ref = std::get_if<typename Field::template Ref<QString>>(&f.access))
        return (*ref)(r);
    if (auto ref = std::get_if<typename Field::template Ref<bool>>(&f.access))
        return (*ref)(r);
    if (auto ref = std::get_if<typename Field::template Ref<float>>(&f.access))
        return double((*ref)(r));
    return qint64(d::memberNumber(f, r));
}

// Every field of `record` in table order with its value.
template <typename R>
QList<FieldEntry> FieldEntries(std::span<const RecordField<R>> fields, const R& record)
{
    QList<FieldEntry> entries;
    entries.reserve(qsizetype(fields.size()));
    for (const RecordField<R>& f : fields)
        entries.append(FieldEntry{f.name, f.dump, FieldValueOf(f, record)});
    return entries;
}

} // namespace orv
