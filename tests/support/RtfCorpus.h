// The third-party RTF corpus of shared/corpus/rtf (SOURCES.md there names each file's origin and
// marks the malformed ones): where it is, its files, and how the reading of each one must end.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace xq::test {

/// shared/corpus/rtf beside the source tree; empty when it is not there.
[[nodiscard]] std::filesystem::path RtfCorpusDir();
/// The corpus's .rtf files, sorted by name.
[[nodiscard]] std::vector<std::filesystem::path> RtfCorpusFiles();

/// How reading a corpus file ends.
struct TRtfCorpusOutcome {
    /// The reader reports success (xqconvert exits 0); otherwise it reports a partial read
    /// (xqconvert exits 1) and keeps what it read.
    bool Ok = true;
    /// Text the document must hold (UTF-8; empty: no check).
    std::string KeptText;
    /// The document is empty.
    bool Empty = false;
    /// Why a file ends other than in plain success.
    std::string Reason;
};

/// The outcome expected for a corpus file (by its file name).
[[nodiscard]] TRtfCorpusOutcome ExpectedRtfCorpusOutcome(const std::string& fileName);

} // namespace xq::test
