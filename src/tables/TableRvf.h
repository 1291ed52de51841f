// Tables in RVF: the table record, whose body is one component stream holding the properties,
// the grid and the content of every cell.
//
//   RECORD = "-60 LineCount ParaNo ItemOptions SaveType Tag 0" CRLF NAME CRLF EXTRA* "1" CRLF BODY
//   BODY   = binary block (SaveType 2) | hex line of the component stream
//   STREAM = "TPF0" "TRVTableSW" "" T-PROPERTY* "C" CELLS [ROW-LISTS] 0 0
//   CELLS  = int 0 | int rows, int cols, 1 (ColSpan RowSpan "TD" "" C-PROPERTY* 0 0)* 0
//
// One entry per slot holding a cell, row by row; the slots a merged cell covers have none.
// A cell's content ("C.Data") is an RVF stream of its own, so nested tables nest here too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace xq {

class TRVTableItemInfo;
struct TRVFReadContext;
struct TRVFWriteContext;

/// The most slots a table read from a stream may have; a bigger grid is taken for damage.
inline constexpr std::int64_t MaxTableSlotsInStream = std::int64_t{1} << 18;

/// The component stream of a table, with each property only when it differs from its default.
[[nodiscard]] std::string WriteTableStream(const TRVTableItemInfo& table, TRVFWriteContext& ctx);
/// Reads a component stream into table (which must have no rows). False, with the table left
/// without rows, when the stream cannot be read, when the cell entries do not cover the grid
/// exactly ("Wrong end of cells list"), or when a cell's content fails to read.
[[nodiscard]] bool ReadTableStream(std::string_view stream, TRVTableItemInfo& table, TRVFReadContext& ctx);

/// Adds the codec of table records to the RVF codec registry.
void RegisterTableRvfCodec();

} // namespace xq
