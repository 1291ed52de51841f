// xqconvert: converts documents between formats by extension, and dumps them as JSON.
//
//   xqconvert INPUT OUTPUT     exit 0 done, 1 input read only in part (what was read is
//   xqconvert --dump FILE      written), 2 usage or I/O error; messages go to stderr
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "document/DocumentInfo.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/DocumentDump.h"
#include "formats/DocumentFiles.h"
#include "lists/ListItems.h"

namespace {

constexpr int ExitOk = 0;
constexpr int ExitPartial = 1;
constexpr int ExitError = 2;

constexpr const char* Usage =
    "usage: xqconvert INPUT OUTPUT   convert INPUT to OUTPUT, formats chosen by extension\n"
    "       xqconvert --dump FILE    print the styles and items of FILE as JSON\n"
    "       xqconvert --help         show this help\n"
    "\n"
    "Formats: .txt plain text (8-bit or UTF-16 when reading, 8-bit when writing), .rtf (not\n"
    "supported yet), any other extension RVF (.rvf, .xtb, .dvl, .dpa, .abr, ...).\n"
    "Exit status: 0 done, 1 the input could be read only in part (what was read is still\n"
    "written), 2 usage or I/O error.\n";

int UsageError(const std::string& message)
{
    std::cerr << "xqconvert: " << message << "\n" << Usage;
    return ExitError;
}

/// The editor's state before a document is opened: its style sheet, item kinds and page.
struct TSession {
    TSession()
    {
        xq::RegisterListItemKinds();
        xq::SetupMainWindowStyleSheet(Sheet);
        Info.DocParameters = xq::MainWindowDocParameters();
    }

    xq::TRVStyle Sheet;
    xq::TCustomRVData Doc{&Sheet};
    xq::TRVDocumentInfo Info;
};

/// Loads the input and reports problems; returns the exit status so far.
int Load(TSession& session, const std::string& path)
{
    const xq::TLoadResult result = xq::LoadDocumentFile(path, session.Sheet, session.Doc, session.Info);
    if (!result.Warnings.Empty())
        std::cerr << "xqconvert: warning: " << path << ": " << xq::DescribeWarnings(result.Warnings) << "\n";
    if (result.Ok)
        return ExitOk;
    std::cerr << "xqconvert: " << result.Error << "\n";
    if (result.Partial) {
        std::cerr << "xqconvert: " << path << ": " << session.Doc.Count()
                  << " items were read before the error; they are kept\n";
        return ExitPartial;
    }
    return ExitError;
}

int Convert(const std::string& input, const std::string& output)
{
    TSession session;
    const int status = Load(session, input);
    if (status == ExitError)
        return status;
    std::string error;
    if (!xq::SaveDocumentFile(output, session.Sheet, session.Doc, session.Info, &error)) {
        std::cerr << "xqconvert: " << error << "\n";
        return ExitError;
    }
    return status;
}

int Dump(const std::string& path)
{
    TSession session;
    const int status = Load(session, path);
    if (status == ExitError)
        return status;
    std::cout << xq::DumpDocumentJson(session.Sheet, session.Doc, &session.Info);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "xqconvert: cannot write to standard output\n";
        return ExitError;
    }
    return status;
}

int Run(const std::vector<std::string>& args)
{
    bool dump = false;
    bool optionsEnded = false;
    std::vector<std::string> files;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            std::cout << Usage;
            return ExitOk;
        } else if (!optionsEnded && arg == "--dump") {
            dump = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return UsageError("unknown option " + arg);
        } else {
            files.push_back(arg);
        }
    }
    if (dump) {
        if (files.size() != 1)
            return UsageError("--dump takes exactly one FILE");
        return Dump(files[0]);
    }
    if (files.size() != 2)
        return UsageError("expected INPUT and OUTPUT");
    return Convert(files[0], files[1]);
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::cerr << "xqconvert: internal error: " << e.what() << "\n";
    } catch (...) {
        std::cerr << "xqconvert: internal error\n";
    }
    return ExitError;
}
