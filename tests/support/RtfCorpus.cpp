#include "support/RtfCorpus.h"

#include <algorithm>
#include <map>

#include "support/RunProgram.h"

namespace xq::test {

namespace fs = std::filesystem;

fs::path RtfCorpusDir()
{
    std::error_code ec;
    // The copy kept with the tests (tests/data/rtf-corpus/SOURCES.md names where each file is
    // from), else the shared corpus beside the checkout.
    for (const fs::path& candidate : {fs::path(SourceDir()) / "tests" / "data" / "rtf-corpus",
                                      fs::path(SourceDir()) / ".." / "shared" / "corpus" / "rtf"}) {
        const fs::path dir = fs::weakly_canonical(candidate, ec);
        if (!ec && fs::is_directory(dir, ec))
            return dir;
    }
    return {};
}

std::vector<fs::path> RtfCorpusFiles()
{
    std::vector<fs::path> files;
    const fs::path dir = RtfCorpusDir();
    if (dir.empty())
        return files;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().extension() == ".rtf")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

TRtfCorpusOutcome ExpectedRtfCorpusOutcome(const std::string& fileName)
{
    static const std::map<std::string, TRtfCorpusOutcome> special = {
        // MALFORMED files.
        {"rtfpipe_RtfParserTest_fail_0.rtf",
         {true, "Hello world in {RTF}", false,
          "leading garbage: the bytes before the group are text of their own, the RTF after them is read"}},
        {"rtfpipe_RtfParserTest_fail_1.rtf",
         {true, "Hello world in {RTF}", false, "trailing garbage after the document's group is ignored"}},
        {"rtfpipe_RtfParserTest_fail_2.rtf",
         {false, "Hello world in {RTF}", false, "an extra closing brace: code 1, the text is kept"}},
        {"rtfpipe_RtfParserTest_fail_3.rtf",
         {false, "Hello world in {RTF}", false, "truncated: code 3, what was read is kept"}},
        {"rtfpipe_RtfParserTest_fail_4.rtf", {true, "", true, "an empty file is an empty document"}},
        {"rtfpipe_RtfParserTest_fail_5.rtf",
         {true, "foobar", false, "plain text without a header is read as the text it is"}},
        {"rtfpipe_RtfParserTest_fail_6.rtf",
         {true, "", true, "a bare control word without a group holds no text"}},
        // Not marked, but two groups are never closed (LibreOffice refuses the file).
        {"tika_testBinControlWord.rtf",
         {false, "", false, "unbalanced: the input ends inside two groups, read as truncated"}},
    };
    const auto it = special.find(fileName);
    return it == special.end() ? TRtfCorpusOutcome{} : it->second;
}

} // namespace xq::test
