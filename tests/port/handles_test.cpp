// Each kind of handle is a type of its own: one kind cannot pass for another, nor a plain
// pointer for any of them. The kinds Windows itself makes one stay one. Checked as the test
// program compiles.
#include <tuple>
#include <type_traits>

#include "port/win32types.h"

namespace {

using Kinds = std::tuple<HANDLE, HINSTANCE, HGLOBAL, HWND, HICON, HMENU, HDC, HGDIOBJ, HBRUSH,
                         HBITMAP, HMONITOR>;

template <typename From, typename To>
constexpr bool kConverts = std::is_convertible_v<From, To>;

template <size_t I, size_t J>
constexpr bool PairIsApart() {
    using A = std::tuple_element_t<I, Kinds>;
    using B = std::tuple_element_t<J, Kinds>;
    return I == J || (!kConverts<A, B> && !std::is_same_v<A, B>);
}

template <size_t I, size_t... J>
constexpr bool RowIsApart(std::index_sequence<J...>) {
    return (PairIsApart<I, J>() && ...);
}

template <size_t... I>
constexpr bool AllApart(std::index_sequence<I...> rows) {
    return (RowIsApart<I>(rows) && ...);
}

constexpr auto kIndices = std::make_index_sequence<std::tuple_size_v<Kinds>>();
static_assert(AllApart(kIndices), "no kind of handle converts to another");

template <size_t... I>
constexpr bool NoneFromVoid(std::index_sequence<I...>) {
    return (!kConverts<void*, std::tuple_element_t<I, Kinds>> && ...);
}
static_assert(NoneFromVoid(kIndices), "a plain pointer is no handle");

static_assert(std::is_same_v<HMODULE, HINSTANCE>, "a module is its instance, as on Windows");
static_assert(std::is_same_v<HCURSOR, HICON>, "a cursor is an icon, as on Windows");

}  // namespace
