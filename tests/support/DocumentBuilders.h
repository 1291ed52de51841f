// Documents the format tests build and read: pictures and labelled tables appended to a container,
// and the committed documents that stand for documents somebody wrote.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace xq {
class TCustomRVData;
class TRVTableItemInfo;
} // namespace xq

namespace xq::test {

/// Appends the picture file bytes as a picture item shown width x height (0 x 0: its natural
/// size) in paragraph paraNo (-1: the last one goes on); the bytes must decode.
void AppendPicture(TCustomRVData& into, const std::string& bytes, int width, int height, int paraNo);

/// Empties every cell of table and gives it the text prefix, row and column ("Z12").
void LabelCells(TRVTableItemInfo& table, const std::string& prefix);

/// The committed RVF documents (tests/data/rvf) and the bundled AutoText entries, sorted, without
/// the documents that exist to show how the reader repairs damaged input: what those hold after the
/// repair is the reader's choice, not a document anybody wrote.
[[nodiscard]] std::vector<std::filesystem::path> CommittedDocuments();

} // namespace xq::test
