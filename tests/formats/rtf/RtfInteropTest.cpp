// LibreOffice reads the RTF we write: the same words as our own text export, whatever the
// document's names, tags and link targets hold. Skipped, saying so, without LibreOffice.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/rtf/RtfWriter.h"
#include "formats/text/TextFormat.h"
#include "platform/CodePage.h"
#include "support/LibreOffice.h"
#include "support/TempDir.h"

namespace xq::test {
namespace {

/// A document as a test builds it, with the sheet it needs.
struct TSample {
    std::string Name;
    std::unique_ptr<TRVStyle> Sheet = std::make_unique<TRVStyle>();
    std::unique_ptr<TCustomRVData> Doc = std::make_unique<TCustomRVData>(Sheet.get());

    int AddStyle(bool unicode, bool bold = false, bool jump = false)
    {
        TFontInfo& style = Sheet->TextStyles.Add();
        style.CopyStyle(Sheet->TextStyles[0]);
        style.Unicode = unicode;
        if (bold)
            style.Style.Include(fsBold);
        style.Jump = jump;
        return Sheet->TextStyles.Count() - 1;
    }
};

std::vector<TSample> Samples()
{
    std::vector<TSample> samples;
    {
        TSample s{"brief"};
        const int bold = s.AddStyle(false, true);
        s.Doc->AppendText("Sehr geehrte Frau M\xFCller,", 0, 0);
        s.Doc->AppendText("anbei die ", 0, 0);
        s.Doc->AppendText("Unterlagen", bold, -1);
        s.Doc->AppendText(" f\xFCr die Stra\xDF" "e 7 \x80 10,-", 0, -1);
        s.Doc->AppendText("Mit freundlichen Gr\xFC\xDF" "en", 0, 0);
        samples.push_back(std::move(s));
    }
    {
        TSample s{"unicode"};
        const int wide = s.AddStyle(true);
        s.Doc->AppendTextW(u"Preis: 12 \u20AC \u2013 \u201Eheute\u201C", wide, 0);
        s.Doc->AppendTextW(u"Griechisch \u03B1\u03B2\u03B3, Kyrillisch \u0416\u0418, Zeichen \U0001F600 und \uFB01", wide, 0);
        samples.push_back(std::move(s));
    }
    {
        // Hostile names, tags and targets: braces, backslashes, quotes, bytes above 127.
        TSample s{"hostile"};
        const int link = s.AddStyle(false, false, true);
        s.Sheet->TextStyles[0].FontName = "Ar{i}al\\x;";
        s.Doc->CreatePendingCheckpoint("Kapitel {1}\\\"", false, {});
        s.Doc->AppendText("Text mit {Klammern} und \\Backslash\\ und \"Anf\xFChrung\"", 0, 0);
        s.Doc->AppendText("Verweis", link, 0, "http://example.org/{a}\\b\"c\xE4}");
        s.Doc->AppendText(" danach", 0, -1);
        s.Doc->AppendText("Sprung", link, 0, "#Kapitel {1}");
        auto tab = std::make_unique<TRVTabItemInfo>();
        tab->ParaNo = -1;
        s.Doc->AppendItem("", std::move(tab));
        s.Doc->AppendText("Ende", 0, -1);
        samples.push_back(std::move(s));
    }
    return samples;
}

std::string OurWords(const TCustomRVData& doc)
{
    std::string text;
    EXPECT_TRUE(ExportText(doc, text, 80, true));
    return Utf16ToUtf8(Utf16FromBytes(text.size() >= 2 ? std::string_view(text).substr(2) : std::string_view()));
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(RtfInterop, LibreOfficeReadsTheSameWords)
{
    if (LibreOfficePath().empty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: the RTF is not checked against another reader";
    TTempDir dir;
    std::vector<TSample> samples = Samples();
    std::vector<std::filesystem::path> files;
    for (const TSample& s : samples) {
        std::string rtf;
        ASSERT_TRUE(WriteRtfDocument(*s.Doc, TRVRTFWriteSettings{RTFMainWindowOptions}, rtf));
        files.push_back(dir.Path() / (s.Name + ".rtf"));
        std::ofstream(files.back(), std::ios::binary) << rtf;
    }
    std::string error;
    ASSERT_TRUE(ConvertWithLibreOffice(files, "txt:Text (encoded):UTF8", ".txt", dir.Path(), error)) << error;
    for (const TSample& s : samples) {
        const std::string theirs = ReadFile(dir.Path() / (s.Name + ".txt"));
        EXPECT_EQ(WordsOf(theirs), WordsOf(OurWords(*s.Doc))) << s.Name << ":\n" << theirs;
    }
}

/// The text properties LibreOffice gives each word of a flat ODT document's spans.
std::map<std::string, std::string> PropertiesOfWords(const std::string& fodt)
{
    std::map<std::string, std::string> styles;
    const std::regex style(R"re(<style:style style:name="([^"]+)" style:family="text">\s*<style:text-properties([^>]*)/>)re");
    for (std::sregex_iterator it(fodt.begin(), fodt.end(), style), end; it != end; ++it)
        styles[(*it)[1]] = (*it)[2];
    std::map<std::string, std::string> words;
    const std::regex span(R"re(<text:span text:style-name="([^"]+)">([^<]*)</text:span>)re");
    for (std::sregex_iterator it(fodt.begin(), fodt.end(), span), end; it != end; ++it)
        for (const std::string& word : WordsOf((*it)[2]))
            words[word] = styles[(*it)[1]];
    return words;
}

TEST(RtfInterop, LibreOfficeSeesTheFormattingWhereOursIs)
{
    if (LibreOfficePath().empty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: the RTF is not checked against another reader";
    TSample s{"runs"};
    const int bold = s.AddStyle(false, true);
    const int italic = s.AddStyle(false);
    s.Sheet->TextStyles[italic].Style.Include(fsItalic);
    const int underline = s.AddStyle(true);
    s.Sheet->TextStyles[underline].Style.Include(fsUnderline);
    const int red = s.AddStyle(false);
    s.Sheet->TextStyles[red].Color = clRed;
    const int big = s.AddStyle(false);
    s.Sheet->TextStyles[big].Size = 14;
    s.Sheet->TextStyles[big].FontName = "Courier New";
    s.Doc->AppendText("schlicht ", 0, 0);
    s.Doc->AppendText("fett ", bold, -1);
    s.Doc->AppendText("kursiv ", italic, -1);
    s.Doc->AppendTextW(u"unterstrichen € ", underline, -1);
    s.Doc->AppendText("rot ", red, -1);
    s.Doc->AppendText("gross", big, -1);
    s.Doc->AppendText(" schlicht2", 0, -1);

    TTempDir dir;
    std::string rtf;
    ASSERT_TRUE(WriteRtfDocument(*s.Doc, TRVRTFWriteSettings{RTFMainWindowOptions}, rtf));
    const auto file = dir.Path() / "runs.rtf";
    std::ofstream(file, std::ios::binary) << rtf;
    std::string error;
    ASSERT_TRUE(ConvertWithLibreOffice({file}, "fodt", ".fodt", dir.Path(), error)) << error;
    const std::map<std::string, std::string> words = PropertiesOfWords(ReadFile(dir.Path() / "runs.fodt"));
    const auto has = [&](const std::string& word, const std::string& property) {
        const auto it = words.find(word);
        return it != words.end() && it->second.find(property) != std::string::npos;
    };
    EXPECT_TRUE(has("fett", R"(fo:font-weight="bold")"));
    EXPECT_FALSE(has("schlicht", R"(fo:font-weight="bold")"));
    EXPECT_FALSE(has("schlicht2", R"(fo:font-weight="bold")"));
    EXPECT_TRUE(has("kursiv", R"(fo:font-style="italic")"));
    EXPECT_TRUE(has("unterstrichen", "style:text-underline-style=\"solid\""));
    EXPECT_TRUE(has("\u20AC", "style:text-underline-style=\"solid\"")) << "the Unicode run keeps its style";
    EXPECT_TRUE(has("rot", R"(fo:color="#ff0000")"));
    EXPECT_TRUE(has("gross", R"(fo:font-size="14pt")"));
    EXPECT_TRUE(has("gross", R"(style:font-name="Courier New")"));
    EXPECT_TRUE(has("schlicht", R"(fo:font-size="10pt")"));
}

} // namespace
} // namespace xq::test
