// Tests of start-up without a window: the run state a command line gives, where the speller must be
// for the third argument to count, the working directory it makes, the start mode's number rules,
// the extensions of host documents and the caption of each start mode.
#include "session/StartUp.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <limits>
#include <string>

namespace xq {
namespace {

namespace fs = std::filesystem;
using test::TTempDir;
using test::WriteBytes;

/// Puts a file named "ispell" with the given permission bits into dir.
void PutSpeller(const fs::path& dir, fs::perms perms)
{
    WriteBytes(dir / "ispell", "#!/bin/sh\n");
    fs::permissions(dir / "ispell", perms);
}

TEST(StartUpTest, TheRunStateTakesTheCommandLineAndStartsInTheWorkingDirectory)
{
    TTempDir exe;
    TTempDir work;
    PutSpeller(work.Path(), fs::perms::owner_all);

    const TRunState plain = StartRunState(ReadCommandLine({"Vorgang.dvl", "1"}), exe.Path(), "ARBEITSPLATZ");
    EXPECT_EQ(plain.StartDocument, "Vorgang.dvl");
    EXPECT_EQ(plain.StartMode, StartModeInsertEntry);
    EXPECT_FALSE(plain.SpellingInWorkDir);
    EXPECT_EQ(plain.ExeDir, exe.Path());
    EXPECT_EQ(plain.WorkDir, exe.Path());
    EXPECT_EQ(plain.DocPath, exe.Path());
    EXPECT_EQ(plain.ComputerName, "ARBEITSPLATZ");
    // Nothing is open yet: no name, nothing changed, not closing, the spelling switches off.
    EXPECT_TRUE(plain.DocName.empty());
    EXPECT_TRUE(plain.RecentPath.empty());
    EXPECT_EQ(plain.FileFormat, TFileFormat::RVF);
    EXPECT_FALSE(plain.Modified || plain.Closing || plain.AbrHostDocument);
    EXPECT_FALSE(plain.SpellingUnavailable || plain.LiveSpelling || plain.ShowControlChars);

    const TRunState withSpeller =
        StartRunState(ReadCommandLine({"x.doc", "0", work.Path().string()}), exe.Path(), "PC");
    EXPECT_TRUE(withSpeller.SpellingInWorkDir);
    EXPECT_EQ(withSpeller.ExeDir, exe.Path());
    EXPECT_EQ(withSpeller.WorkDir, work.Path());
    // File dialogs start where "mru.ini" and "AText" are, not where the program is.
    EXPECT_EQ(withSpeller.DocPath, work.Path());
}

TEST(StartUpTest, OnlyAnExecutableFileNamedIspellMakesTheThirdArgumentCount)
{
    TTempDir readable;
    PutSpeller(readable.Path(), fs::perms::owner_read | fs::perms::owner_write);
    TTempDir executable;
    PutSpeller(executable.Path(), fs::perms::owner_all);
    TTempDir folder;
    fs::create_directory(folder / "ispell");

    EXPECT_TRUE(HasSpellerProgram(executable.Path().string()));
    // root may run anything, but a file without any execute bit is no program.
    EXPECT_FALSE(HasSpellerProgram(readable.Path().string()));
    EXPECT_FALSE(HasSpellerProgram(folder.Path().string()));
    EXPECT_FALSE(HasSpellerProgram(""));
    EXPECT_FALSE(HasSpellerProgram((executable / "fehlt").string()));

    EXPECT_FALSE(ReadCommandLine({"a", "0", readable.Path().string()}).SpellingInWorkDir);
    const TCommandLine refused = ReadCommandLine({"a", "0", folder.Path().string()});
    EXPECT_FALSE(refused.SpellingInWorkDir);
    EXPECT_TRUE(refused.SpellingDir.empty());
    // A fourth argument is ignored.
    EXPECT_TRUE(ReadCommandLine({"a", "0", executable.Path().string(), "mehr"}).SpellingInWorkDir);
    // The directory is joined as the host passes it, one delimiter added.
    EXPECT_EQ(SpellerProgramIn("/opt/xq"), fs::path("/opt/xq/ispell"));
    EXPECT_EQ(SpellerProgramIn("/opt/xq/"), fs::path("/opt/xq//ispell"));
}

TEST(StartUpTest, ARelativeSpellerDirectoryBecomesAnAbsoluteWorkingDirectory)
{
    TTempDir work;
    fs::create_directory(work / "sub");
    PutSpeller(work.Path(), fs::perms::owner_all);
    const fs::path expected = fs::weakly_canonical(work.Path());
    const fs::path relative = fs::relative(expected, fs::current_path()) / "sub" / "..";

    const TCommandLine commandLine = ReadCommandLine({"a", "0", relative.string()});
    ASSERT_TRUE(commandLine.SpellingInWorkDir);
    const fs::path dir = WorkDirOf(commandLine, "/opt/xq");
    EXPECT_TRUE(dir.is_absolute());
    EXPECT_EQ(dir, expected);
    EXPECT_NE(dir.string().back(), '/') << "no trailing delimiter";
}

TEST(StartUpTest, StartModeNumbersAtTheirLimits)
{
    EXPECT_EQ(StartModeOf("+2"), 2);
    EXPECT_EQ(StartModeOf("\t3"), 3);
    EXPECT_EQ(StartModeOf("  -1"), -1);
    EXPECT_EQ(StartModeOf("007"), 7);
    EXPECT_EQ(StartModeOf("2147483647"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(StartModeOf("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(StartModeOf("2147483648"), 0);
    // Blanks count only before the number.
    EXPECT_EQ(StartModeOf("2 "), 0);
    EXPECT_EQ(StartModeOf("+"), 0);
    EXPECT_EQ(StartModeOf(" "), 0);
    EXPECT_EQ(StartModeOf("0x2"), 0);
    EXPECT_EQ(ReadCommandLine({"a", " +1"}).StartMode, 1);
}

TEST(StartUpTest, ExtensionsAreComparedInLowerCaseOnTheFileNameOnly)
{
    EXPECT_EQ(LowerExtension("Brief.DVL"), ".dvl");
    EXPECT_EQ(LowerExtension("/a/b.c/Archiv.tar.GZ"), ".gz");
    EXPECT_EQ(LowerExtension("/a/b.dvl/Datei"), "");
    EXPECT_EQ(LowerExtension(".dvl"), "") << "a hidden file has no extension";
    EXPECT_EQ(LowerExtension("x.\xC3\x84XT"), ".\xC3\x84xt") << "only A to Z are lowered";

    EXPECT_TRUE(IsHostDocumentPath("/home/a/Vorgang.Dpa"));
    EXPECT_TRUE(IsHostDocumentPath("Akte.ABR"));
    EXPECT_FALSE(IsHostDocumentPath("/home/a.rvf/Vorgang"));
    EXPECT_FALSE(IsHostDocumentPath(".xtb"));
    EXPECT_FALSE(IsHostDocumentPath("Brief.rvf "));
    EXPECT_FALSE(IsHostDocumentPath(""));
}

TEST(StartUpTest, EachStartModeHasItsCaption)
{
    EXPECT_EQ(StartModeCaption(StartModeEditEntry), CaptionEditEntry);
    EXPECT_EQ(StartModeCaption(StartModeEditEntryToo), CaptionEditEntry);
    EXPECT_EQ(StartModeCaption(StartModeInsertEntry), CaptionInsertEntry);
    EXPECT_EQ(StartModeCaption(StartModeNewEntry), CaptionNewEntry);
    for (std::int32_t other : {-1, 4, 10, 99})
        EXPECT_FALSE(StartModeCaption(other).has_value()) << other;
}

} // namespace
} // namespace xq
