// The third-party RTF corpus (shared/corpus/rtf) through the whole import as the editor opens a
// file: every file ends as it should (success, or for the malformed ones the outcome listed in
// support/RtfCorpus.cpp) within ten seconds, and the files that exercise code pages and Unicode
// give the text LibreOffice gives (one run of soffice for all of them; skipped, saying so,
// without LibreOffice).
#include <gtest/gtest.h>

#include <cctype>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "document/DocumentInfo.h"
#include "document/ItemInfo.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/DocumentFiles.h"
#include "formats/rtf/RtfImport.h"
#include "formats/text/TextFormat.h"
#include "platform/CodePage.h"
#include "support/LibreOffice.h"
#include "support/RtfCorpus.h"
#include "support/TempDir.h"

namespace xq::test {
namespace {

namespace fs = std::filesystem;

struct TLoaded {
    std::unique_ptr<TRVStyle> Sheet = std::make_unique<TRVStyle>();
    std::unique_ptr<TCustomRVData> Doc = std::make_unique<TCustomRVData>(Sheet.get());
    TRVDocumentInfo Info;
    TLoadResult Result;
    double Seconds = 0;
};

TLoaded Load(const fs::path& file, bool keepHiddenText = false)
{
    TLoaded loaded;
    SetupMainWindowStyleSheet(*loaded.Sheet);
    TRVRTFReaderProperties settings;
    SetMainWindowRtfReadProperties(settings);
    settings.SkipHiddenText = !keepHiddenText;
    const auto start = std::chrono::steady_clock::now();
    loaded.Result = LoadDocumentFile(file, *loaded.Sheet, *loaded.Doc, loaded.Info, RVFMainWindowOptions, &settings);
    loaded.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return loaded;
}

/// While alive, list markers export as nothing: labels are compared apart (LibreOffice numbers
/// and draws them in its own way).
class TNoMarkers {
public:
    TNoMarkers()
    {
        RegisterTextExportForm(rvsListMarker, [](const TCustomRVData&, int, int, bool, std::string&) { return true; });
    }
    ~TNoMarkers() { RegisterTextExportForm(rvsListMarker, {}); }
    TNoMarkers(const TNoMarkers&) = delete;
    TNoMarkers& operator=(const TNoMarkers&) = delete;
};

std::string OurText(const TCustomRVData& doc)
{
    const TNoMarkers noMarkers;
    std::string text;
    EXPECT_TRUE(ExportText(doc, text, 80, true));
    return Utf16ToUtf8(Utf16FromBytes(text.size() >= 2 ? std::string_view(text).substr(2) : std::string_view()));
}

/// LibreOffice's text without its list labels: a list paragraph is a line indented by four
/// spaces per level whose first word is a bullet (one character that is no letter or digit) or
/// a number ("1.", "a)", "(iv)", "2.3.").
std::string WithoutLabels(const std::string& text)
{
    static const std::regex label(R"re(^((?:    )+)(\S+) )re");
    static const std::regex number(R"re(^\(?([0-9]+|[a-zA-Z]|[ivxlcdmIVXLCDM]+)(\.[0-9]+)*[.)]?$)re");
    std::string out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        // LibreOffice writes a tab as U+2006 and a space.
        for (std::size_t at; (at = line.find("\xE2\x80\x86")) != std::string::npos;)
            line.replace(at, 3, " ");
        std::smatch m;
        if (std::regex_search(line, m, label)) {
            const std::string word = m[2];
            const std::u16string chars = Utf8ToUtf16(word);
            const bool bullet = chars.size() == 1 && !(chars[0] < 0x80 && std::isalnum(chars[0]));
            if (bullet || std::regex_match(word, number))
                line = line.substr(std::size_t(m.length(0)));
        }
        out += line + "\n";
        start = end + 1;
    }
    return out;
}

/// Empty when the word lists are equal, else the first difference with some words around it.
std::string FirstDifference(const std::vector<std::string>& ours, const std::vector<std::string>& theirs)
{
    std::size_t i = 0;
    while (i < ours.size() && i < theirs.size() && ours[i] == theirs[i])
        ++i;
    if (i == ours.size() && i == theirs.size())
        return {};
    const auto part = [i](const std::vector<std::string>& words) {
        std::string s;
        for (std::size_t k = i < 3 ? 0 : i - 3; k < std::min(words.size(), i + 8); ++k)
            s += (k == i ? "[" : "") + words[k] + (k == i ? "] " : " ");
        return s;
    };
    return "at word " + std::to_string(i) + " of " + std::to_string(ours.size()) + "/" +
           std::to_string(theirs.size()) + "\n  ours:   " + part(ours) + "\n  theirs: " + part(theirs);
}

TEST(RtfCorpus, EveryFileEndsAsItShouldWithinTenSeconds)
{
    const std::vector<fs::path> files = RtfCorpusFiles();
    if (files.empty())
        GTEST_SKIP() << "the RTF corpus (shared/corpus/rtf beside the source tree) is not there";
    EXPECT_GE(files.size(), 100u);
    for (const fs::path& file : files) {
        const std::string name = file.filename().string();
        const TRtfCorpusOutcome expected = ExpectedRtfCorpusOutcome(name);
        const TLoaded loaded = Load(file);
        EXPECT_LT(loaded.Seconds, 10.0) << name;
        EXPECT_EQ(loaded.Result.Ok, expected.Ok) << name << ": " << loaded.Result.Error << " " << expected.Reason;
        EXPECT_FALSE(loaded.Result.TooLarge) << name;
        if (!expected.Ok) {
            EXPECT_TRUE(loaded.Result.Partial) << name << ": what was read is kept";
        }
        const std::string text = OurText(*loaded.Doc);
        if (expected.Empty) {
            EXPECT_TRUE(loaded.Doc->Empty() || text.find_first_not_of(" \r\n") == std::string::npos)
                << name << ": " << text;
        }
        if (!expected.KeptText.empty()) {
            EXPECT_NE(text.find(expected.KeptText), std::string::npos) << name << ": " << text;
        }
    }
}

/// The files of the corpus that exercise code pages and Unicode.
const char* const CodePageFiles[] = {
    "tika_testRTFWindowsCodepage1250.rtf",   // cp1250
    "striprtf_bytes.rtf",                     // cp1251
    "rtfpipe_Issue34.rtf",                    // cp1251 by \ansicpg only, in a nested table
    "tika_testRTFWithCurlyBraces.rtf",        // cp1251 style names
    "lo_fdo45394.rtf",                        // \fcharset204
    "tika_testRTFJapanese.rtf",               // cp932 (\fcharset128)
    "rtfpipe_RtfParserTest_6.rtf",            // Mac Japanese (\fcharset78)
    "rtfpipe_RtfParserTest_8.rtf",            // GBK (\fcharset134)
    "rtfjs_infer_double_width.rtf",           // DBCS without a charset
    "rpk_testMultiByteHex.rtf",               // DBCS \'xx pairs
    "rpk_testUnicode.rtf",                    // \u with \uc
    "pandoc_unicode.rtf",                     // \uc2
    "tika_testRTFUnicodeUCNControlWordCharacterDoubling.rtf", // \uc2, \uc0
    "rtfjs_pile_of_poo.rtf",                  // a surrogate pair
    "tika_testRTFUnicodeGothic.rtf",          // surrogate pairs of negative \u values
    "rpk_testNegativeUnicode.rtf",            // negative \u values
    "tika_testRTFInvalidUnicode.rtf",         // unpaired surrogates
    "rpk_test437Encoding.rtf",                // Mac and code page 437
    "rtfpipe_rtf2xml_char_upper_ranges_hex.rtf", // \ansicpg10000, Mac fonts
    "rpk_testHex.rtf",                        // \'xx
    "rpk_testUpr.rtf",                        // \upr with \ud
    "rtfpipe_phprtflite_utf8.rtf",            // \uc0
    "pandoc_accent.rtf",                      // \'xx without a font table
    "lo_fdo44211.rtf",                        // \'xx without \ansicpg
    "striprtf_issue_55.rtf",                  // German \'fc
    "striprtf_issue_55_1.rtf",
    "tika_testRTFUmlautSpaces.rtf",
    "tika_testRTFUmlautSpaces2.rtf",
    "tika_testRTFHexEscapeInsideWord.rtf",
    "rtfpipe_Issue46.rtf",                    // Hungarian
    "rtfpipe_Issue39.rtf",                    // \_ non-breaking hyphens
    "tika_testRTFHyperlinkAndStyles.rtf",     // \fcharset1
    "striprtf_issue_20.rtf",                  // \ansicpg0
};

/// Where our text differs from LibreOffice's on purpose, or LibreOffice is plainly wrong.
const std::map<std::string, std::string> KnownDifferences = {
    {"tika_testRTFHyperlinkAndStyles.rtf",
     "LibreOffice reads \\'94 in a \\fcharset1 font of an \\ansicpg1252 document as U+FFFD; it is the closing "
     "quote of code page 1252"},
    {"tika_testRTFInvalidUnicode.rtf",
     "unpaired surrogates: ours become U+FFFD, LibreOffice's '?', and LibreOffice drops the space that follows "
     "the keyword's delimiter"},
};

TEST(RtfCorpus, CodePagesAndUnicodeGiveLibreOfficesText)
{
    if (RtfCorpusDir().empty())
        GTEST_SKIP() << "the RTF corpus (shared/corpus/rtf beside the source tree) is not there";
    if (LibreOfficePath().empty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: the text is not compared with another reader's";
    std::vector<fs::path> files;
    for (const char* name : CodePageFiles) {
        files.push_back(RtfCorpusDir() / name);
        ASSERT_TRUE(fs::exists(files.back())) << name;
    }
    TTempDir dir;
    std::string error;
    ASSERT_TRUE(ConvertWithLibreOffice(files, "txt:Text (encoded):UTF8", ".txt", dir.Path(), error)) << error;
    int compared = 0;
    for (const fs::path& file : files) {
        const std::string name = file.filename().string();
        if (KnownDifferences.count(name))
            continue;
        fs::path theirsPath = dir / name;
        theirsPath.replace_extension(".txt");
        // LibreOffice's text export keeps hidden text; so does our side here.
        const TLoaded loaded = Load(file, true);
        ASSERT_TRUE(loaded.Result.Ok) << name << ": " << loaded.Result.Error;
        const std::string ours = OurText(*loaded.Doc);
        const std::string theirs = WithoutLabels(ReadBytes(theirsPath));
        const std::string difference = FirstDifference(WordsOf(ours), WordsOf(theirs));
        EXPECT_TRUE(difference.empty()) << name << ": " << difference;
        ++compared;
    }
    EXPECT_GE(compared, 30);
}

} // namespace
} // namespace xq::test
