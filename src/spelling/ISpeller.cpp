// The ISpell pipe protocol: a banner line, "!" for terse mode, then one line per question. A checked
// word is sent as "^word" so that nothing in it can be read as a command; its reply is a run of lines
// ended by an empty line ("&", "?" or "#" lines for misspelled words, nothing in terse mode for correct
// ones). "*word" adds to the personal dictionary, "#" saves it, "@word" accepts for the session; these
// have no reply, so an empty question ("^") is sent after them where their effect must be waited for
// (its reply is one empty line). Closing the input ends ISpell, which saves the personal dictionary first.
#include "spelling/ISpeller.h"

#include <algorithm>

#include "platform/CodePage.h"
#include "platform/TextCase.h"

namespace xq {

namespace {

/// A reply line is a word, a count, an offset and the suggestions; far below this.
constexpr std::size_t MaxReplyLineBytes = 16384;
/// A word may be split by ISpell into a few parts, each with its line; more means it is out of step.
constexpr std::size_t MaxReplyLines = 64;
/// Words accepted or replaced automatically; more are not kept.
constexpr std::size_t MaxAutoReplacements = 10000;

bool HasControlByte(std::string_view bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
}

bool IsMisspelledReply(std::string_view line)
{
    return !line.empty() && line[0] != '*' && line[0] != '+' && line[0] != '-';
}

std::string_view TrimSpacesAndCommas(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == ','))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == ','))
        text.remove_suffix(1);
    return text;
}

// KOI8-R, the code of the Cyrillic ISpell dictionaries: 0xC0-0xDF the small letters in this order,
// 0xE0-0xFF the capitals, 0xA3 and 0xB3 the two forms of YO.
constexpr char16_t Koi8Letters[] = u"юабцдефгхийклмнопярстужвьызшэщчъЮАБЦДЕФГХИЙКЛМНОПЯРСТУЖВЬЫЗШЭЩЧЪ";

/// Text in KOI8-R; false when it holds a character other than ASCII and the Cyrillic letters.
bool EncodeKoi8(std::u16string_view text, std::string& bytes)
{
    bytes.clear();
    for (const char16_t c : text) {
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if (c == u'ё') {
            bytes += '\xA3';
        } else if (c == u'Ё') {
            bytes += '\xB3';
        } else {
            const std::u16string_view letters(Koi8Letters, 64);
            const std::size_t i = letters.find(c);
            if (i == std::u16string_view::npos)
                return false;
            bytes += static_cast<char>(0xC0 + i);
        }
    }
    return true;
}

std::u16string DecodeKoi8(std::string_view bytes)
{
    std::u16string text;
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        if (u < 0x80)
            text += char16_t(u);
        else if (u >= 0xC0)
            text += Koi8Letters[u - 0xC0];
        else if (u == 0xA3)
            text += u'ё';
        else if (u == 0xB3)
            text += u'Ё';
        else
            text += u'?';
    }
    return text;
}

} // namespace

int SpellerCodePageFor(std::string_view charset, int language)
{
    // Russian and Ukrainian dictionaries of ISpell take KOI8-R unless their entry says otherwise.
    if (charset.empty() && (language == 1049 || language == 1058))
        return Koi8RCodePage;
    return SpellerCodePage(charset);
}

std::string SpellerFailedMessage(std::string_view languageName)
{
    return "Die Rechtschreibprüfung für die Sprache \"" + std::string(languageName) +
           "\" wurde abgeschaltet, weil das Prüfprogramm nicht mehr antwortet.";
}

std::vector<std::string> SuggestionsOfReply(std::string_view reply)
{
    std::vector<std::string> list;
    if (reply.empty() || (reply[0] != '&' && reply[0] != '?'))
        return list;
    const std::size_t colon = reply.find(':');
    if (colon == std::string_view::npos)
        return list;
    std::string_view rest = reply.substr(colon + 1);
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        const std::string_view part = TrimSpacesAndCommas(rest.substr(0, comma));
        if (!part.empty())
            list.emplace_back(part);
        if (comma == std::string_view::npos)
            break;
        rest.remove_prefix(comma + 1);
    }
    return list;
}

TISpeller::TISpeller(int language, TSpellListObj entry, std::filesystem::path spellerDir,
                     std::filesystem::path homeDir, TTimeouts timeouts)
    : Language_(language), Entry_(std::move(entry)), SpellerDir_(std::move(spellerDir)),
      HomeDir_(std::move(homeDir)), Timeouts_(timeouts), CodePage_(SpellerCodePageFor(Entry_.Charset, language))
{
    std::lock_guard<std::mutex> guard(Lock_);
    if (!StartLocked())
        FailLocked();
}

TISpeller::~TISpeller()
{
    std::lock_guard<std::mutex> guard(Lock_);
    Child_.Stop(Timeouts_.Stop);
}

bool TISpeller::Failed() const
{
    std::lock_guard<std::mutex> guard(Lock_);
    return Failed_;
}

int TISpeller::ProcessId() const
{
    std::lock_guard<std::mutex> guard(Lock_);
    return Child_.Pid();
}

bool TISpeller::StartLocked()
{
    const std::vector<std::string> arguments = SplitCommandLine(ExpandSpellerCommand(Entry_.Cmd, SpellerDir_));
    if (arguments.empty())
        return false;
    std::vector<std::pair<std::string, std::string>> environment;
    if (!HomeDir_.empty())
        environment.emplace_back("HOME", HomeDir_.string());
    if (!Child_.Start(arguments, SpellerDir_, environment))
        return false;
    std::string banner;
    if (Child_.ReadLine(banner, Timeouts_.Banner, MaxReplyLineBytes) != TReadResult::rrLine ||
        !Child_.Write("!\n", Timeouts_.Write)) {
        Child_.Stop(Timeouts_.Stop);
        return false;
    }
    return true;
}

void TISpeller::FailLocked()
{
    Failed_ = true;
    Child_.Stop(Timeouts_.Stop);
}

TISpeller::TAsk TISpeller::AskLocked(const std::string& line, bool withReply, std::vector<std::string>* reply)
{
    if (!Child_.Write(line, Timeouts_.Write))
        return TAsk::Failed;
    if (!withReply)
        return TAsk::Answered;
    for (;;) {
        std::string text;
        if (Child_.ReadLine(text, Timeouts_.Reply, MaxReplyLineBytes) != TReadResult::rrLine)
            return TAsk::Failed;
        if (text.empty())
            return TAsk::Answered;
        if (reply) {
            if (reply->size() >= MaxReplyLines)
                return TAsk::Failed;
            reply->push_back(std::move(text));
        }
    }
}

TISpeller::TAsk TISpeller::AskWithRestartLocked(const std::string& line, bool withReply,
                                                std::vector<std::string>* reply, std::string& failureMessage)
{
    if (Failed_)
        return TAsk::Failed;
    if (AskLocked(line, withReply, reply) == TAsk::Answered)
        return TAsk::Answered;
    // The child died or fell out of step: one new start, then the language is off.
    Child_.Stop(Timeouts_.Stop);
    if (!Restarted_) {
        Restarted_ = true;
        if (reply)
            reply->clear();
        if (StartLocked() && AskLocked(line, withReply, reply) == TAsk::Answered)
            return TAsk::Answered;
    }
    FailLocked();
    failureMessage = SpellerFailedMessage(Entry_.Name);
    return TAsk::Failed;
}

void TISpeller::Report(const std::string& failureMessage)
{
    if (!failureMessage.empty() && OnFailure)
        OnFailure(failureMessage);
}

bool EncodeSpellerWord(std::string_view word, int codePage, std::string& bytes)
{
    if (codePage == Utf8CodePage) {
        bytes.assign(word);
    } else if (codePage == Koi8RCodePage) {
        if (!EncodeKoi8(Utf8ToUtf16(word), bytes))
            return false;
    } else {
        const std::u16string text = Utf8ToUtf16(word);
        bytes = UnicodeToAnsi(text, codePage);
        // A character the code page lacks became "?": such a word cannot be asked about.
        if (std::count(bytes.begin(), bytes.end(), '?') != std::count(word.begin(), word.end(), '?'))
            return false;
    }
    return !bytes.empty() && bytes.size() <= MaxSpellWordBytes && !HasControlByte(bytes);
}

std::string DecodeSpellerText(std::string_view bytes, int codePage)
{
    if (codePage == Utf8CodePage)
        return std::string(bytes);
    if (codePage == Koi8RCodePage)
        return Utf16ToUtf8(DecodeKoi8(bytes));
    return Utf16ToUtf8(AnsiToUnicode(bytes, codePage));
}

bool TISpeller::EncodeWord(std::string_view word, std::string& bytes) const
{
    return EncodeSpellerWord(word, CodePage_, bytes);
}

std::string TISpeller::DecodeText(std::string_view bytes) const
{
    return DecodeSpellerText(bytes, CodePage_);
}

bool TISpeller::CheckLocked(std::string_view word, std::string& failureMessage)
{
    // Leading "*", "+" and "-" are ISpell commands, never part of a word.
    while (!word.empty() && (word.front() == '*' || word.front() == '+' || word.front() == '-'))
        word.remove_prefix(1);
    if (word.empty() || Failed_)
        return true;
    const std::string key(word);
    if (auto it = Verdicts_.find(key); it != Verdicts_.end()) {
        if (!it->second.Correct) {
            CurrentWord_ = key;
            LastReply_ = it->second.Reply;
        }
        return it->second.Correct;
    }
    std::string bytes;
    if (!EncodeWord(word, bytes))
        return true;
    std::vector<std::string> reply;
    if (AskWithRestartLocked("^" + bytes + "\n", true, &reply, failureMessage) != TAsk::Answered)
        return true;
    TVerdict verdict;
    for (const std::string& line : reply)
        if (IsMisspelledReply(line)) {
            verdict.Correct = false;
            verdict.Reply = line;
            break;
        }
    if (Verdicts_.size() >= MaxCachedVerdicts)
        Verdicts_.clear();
    Verdicts_.emplace(key, verdict);
    if (!verdict.Correct) {
        CurrentWord_ = key;
        LastReply_ = verdict.Reply;
    }
    return verdict.Correct;
}

bool TISpeller::IsWordCorrect(std::string_view word)
{
    std::string failureMessage;
    bool correct = true;
    {
        std::lock_guard<std::mutex> guard(Lock_);
        correct = CheckLocked(word, failureMessage);
    }
    Report(failureMessage);
    return correct;
}

TMisspelling TISpeller::FindMisspelling(std::string_view text, std::size_t startPos, std::size_t& wordPos,
                                        std::size_t& wordLength, TSpellOptions options)
{
    std::size_t pos = std::min(startPos, text.size());
    for (;;) {
        while (pos < text.size() && IsSpellWordDelimiter(text[pos]))
            ++pos;
        std::size_t end = pos;
        while (end < text.size() && !IsSpellWordDelimiter(text[end]))
            ++end;
        if (end == pos)
            return msNone;
        const std::string_view word = text.substr(pos, end - pos);
        std::string failureMessage;
        bool correct = true;
        {
            std::lock_guard<std::mutex> guard(Lock_);
            correct = CheckLocked(word, failureMessage);
        }
        Report(failureMessage);
        if (!correct) {
            bool skip = false;
            if (options & SpellOptionBit(spoIgnoreAllCaps)) {
                const std::u16string utf16 = Utf8ToUtf16(word);
                skip = UpperCaseUtf16(utf16) == utf16;
            }
            if (!skip && (options & SpellOptionBit(spoIgnoreMixedDigits)))
                skip = std::any_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
            if (!skip) {
                wordPos = pos;
                wordLength = end - pos;
                std::lock_guard<std::mutex> guard(Lock_);
                for (const auto& [from, to] : AutoReplacements_)
                    if (from == word) {
                        CurrentReplacement_ = to;
                        return msAutoReplace;
                    }
                return msMisspelled;
            }
        }
        pos = end;
    }
}

std::string TISpeller::CurrentWord() const
{
    std::lock_guard<std::mutex> guard(Lock_);
    return CurrentWord_;
}

std::string TISpeller::CurrentReplacement() const
{
    std::lock_guard<std::mutex> guard(Lock_);
    return CurrentReplacement_;
}

void TISpeller::Suggestions(std::vector<std::string>& list) const
{
    list.clear();
    std::lock_guard<std::mutex> guard(Lock_);
    if (Failed_)
        return;
    for (const std::string& suggestion : SuggestionsOfReply(LastReply_))
        list.push_back(DecodeText(suggestion));
}

bool IsDictionaryWord(std::string_view word) noexcept
{
    // Letters (every byte of a non-ASCII character counts as one) and digits, with an apostrophe
    // or a hyphen only between them: ispell would strip anything else and add another word.
    const auto letter = [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x80 || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9');
    };
    if (word.empty() || !letter(word.front()) || !letter(word.back()))
        return false;
    return std::all_of(word.begin(), word.end(), [&](char c) { return letter(c) || c == '\'' || c == '-'; });
}

bool TISpeller::SuggestionsFor(std::string_view word, std::vector<std::string>& list)
{
    list.clear();
    std::string failureMessage;
    bool misspelled = false;
    {
        std::lock_guard<std::mutex> guard(Lock_);
        misspelled = !CheckLocked(word, failureMessage) && !Failed_;
        if (misspelled)
            for (const std::string& suggestion : SuggestionsOfReply(LastReply_))
                list.push_back(DecodeText(suggestion));
    }
    Report(failureMessage);
    return misspelled;
}

bool TISpeller::AddWord(std::string_view word)
{
    // "#" saves the personal dictionary at once, so that the word survives a killed speller; the
    // empty question after it is answered only once the file is written.
    return SendWordCommand(word, '*', "\n#\n^\n");
}

bool TISpeller::AcceptWord(std::string_view word)
{
    return SendWordCommand(word, '@', "\n^\n");
}

bool TISpeller::SendWordCommand(std::string_view word, char command, std::string_view after)
{
    std::string failureMessage;
    bool sent = false;
    {
        std::lock_guard<std::mutex> guard(Lock_);
        std::string bytes;
        if (!Failed_ && IsDictionaryWord(word) && EncodeWord(word, bytes)) {
            sent = AskWithRestartLocked(command + bytes + std::string(after), true, nullptr, failureMessage) ==
                   TAsk::Answered;
            if (sent)
                Verdicts_[std::string(word)] = TVerdict{};
        }
    }
    Report(failureMessage);
    return sent;
}

void TISpeller::AddAutoReplacement(std::string_view word, std::string_view replacement)
{
    std::lock_guard<std::mutex> guard(Lock_);
    for (auto& [from, to] : AutoReplacements_)
        if (from == word) {
            to = replacement;
            return;
        }
    if (AutoReplacements_.size() < MaxAutoReplacements)
        AutoReplacements_.emplace_back(word, replacement);
}

} // namespace xq
